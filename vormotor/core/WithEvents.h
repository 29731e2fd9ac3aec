#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "vormotor/core/Event.h"
#include "vormotor/core/Ref.h"

namespace vor {

// A member that holds an object and receives its events. Assigning another object (or null)
// ends the subscription to the old one and starts it on the new one in a single assignment.
// The subscriber function connects the owner's handlers to whatever object is assigned.
template <class T>
class WithEvents {
public:
    // Returns the connections it made.
    using Subscriber = std::function<std::vector<Connection>(T&)>;
    // Adds the connections it makes to the list it is given, whose room the member keeps from one
    // object to the next: a new object costs no list.
    using ConnectionAdder = std::function<void(T&, std::vector<Connection>&)>;

    // A member whose object's events the owner does not handle (yet) holds it without a subscriber.
    WithEvents() = default;
    explicit WithEvents(ConnectionAdder subscribe) : m_subscribe(std::move(subscribe)) {}
    explicit WithEvents(Subscriber subscribe)
        : m_subscribe([subscribe = std::move(subscribe)](T& object, std::vector<Connection>& connections) {
              for (auto& connection : subscribe(object)) {
                  connections.push_back(std::move(connection));
              }
          }) {}
    WithEvents(const WithEvents&) = delete;
    WithEvents& operator=(const WithEvents&) = delete;

    template <class U>
    WithEvents& operator=(std::shared_ptr<U> object) {
        Assign(std::shared_ptr<T>(std::move(object)));
        return *this;
    }
    WithEvents& operator=(std::nullptr_t) {
        Assign(nullptr);
        return *this;
    }
    WithEvents& operator=(const Ref<T>& object) {
        Assign(object.Get());
        return *this;
    }

    T& operator*() const { return m_object.Deref(); }
    T* operator->() const { return &m_object.Deref(); }
    const Ref<T>& AsRef() const noexcept { return m_object; }
    const std::shared_ptr<T>& Get() const noexcept { return m_object.Get(); }
    explicit operator bool() const noexcept { return static_cast<bool>(m_object); }
    bool IsNothing() const noexcept { return m_object.IsNothing(); }
    friend bool operator==(const WithEvents& member, std::nullptr_t) noexcept { return member.IsNothing(); }

private:
    void Assign(std::shared_ptr<T> object) {
        // The same object again keeps its subscription: a handler ends up connected once either
        // way, and a refresh that re-reads the object every time costs nothing.
        if (object == m_object.Get()) {
            return;
        }
        // The old object stays alive until the end of this call even when this member held the
        // last reference: the assignment may run inside one of that object's own events.
        auto previous = m_object.Get();
        m_connections.clear();
        m_object = Ref<T>(std::move(object));
        if (m_object && m_subscribe) {
            try {
                m_subscribe(*m_object, m_connections);
            } catch (...) {
                // A subscription that fails part-way keeps none of its connections.
                m_connections.clear();
                throw;
            }
        }
    }

    ConnectionAdder m_subscribe;
    Ref<T> m_object;
    std::vector<Connection> m_connections;
};

// A subscriber that connects one handler to one event of the object held, e.g.
// HandleEvent(&ValueObject::ContentChanged, [this](double) { ... }).
template <class T, class... Args, class Handler>
typename WithEvents<T>::ConnectionAdder HandleEvent(EventSource<Args...>& (T::*event)(), Handler handler) {
    return [event, handler](T& object, std::vector<Connection>& connections) {
        connections.push_back((object.*event)().Connect(handler));
    };
}

}  // namespace vor
