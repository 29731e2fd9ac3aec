#pragma once

#include <algorithm>
#include <exception>
#include <functional>
#include <iterator>
#include <memory>
#include <utility>
#include <vector>

#include "vormotor/core/Diagnostics.h"

namespace vor {

namespace detail {

struct SlotBase {
    bool connected = true;
    virtual ~SlotBase() = default;
};

struct EventStateBase {
    virtual void Remove(const SlotBase* slot) noexcept = 0;

protected:
    ~EventStateBase() = default;
};

}  // namespace detail

// An event subscription. Destroying or reassigning it disconnects the handler; it may outlive
// the event it was made from.
class Connection {
public:
    Connection() = default;
    Connection(std::weak_ptr<detail::EventStateBase> state, std::weak_ptr<detail::SlotBase> slot)
        : m_state(std::move(state)), m_slot(std::move(slot)) {}
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    Connection(Connection&& other) noexcept : m_state(std::move(other.m_state)), m_slot(std::move(other.m_slot)) {}
    Connection& operator=(Connection&& other) noexcept {
        if (this != &other) {
            Disconnect();
            m_state = std::move(other.m_state);
            m_slot = std::move(other.m_slot);
        }
        return *this;
    }
    ~Connection() { Disconnect(); }

    void Disconnect() noexcept {
        if (auto slot = m_slot.lock()) {
            // The flag stops a dispatch already under way from calling this handler.
            slot->connected = false;
            if (auto state = m_state.lock()) {
                state->Remove(slot.get());
            }
        }
        m_slot.reset();
        m_state.reset();
    }

    bool Connected() const noexcept {
        auto slot = m_slot.lock();
        return slot && slot->connected && !m_state.expired();
    }

private:
    std::weak_ptr<detail::EventStateBase> m_state;
    std::weak_ptr<detail::SlotBase> m_slot;
};

// The subscriber's side of an event: objects hand this out so that only the owner can raise.
template <class... Args>
class EventSource {
public:
    using Handler = std::function<void(Args...)>;

    EventSource() : m_state(std::make_shared<State>()) {}
    EventSource(const EventSource&) = delete;
    EventSource& operator=(const EventSource&) = delete;

    [[nodiscard]] Connection Connect(Handler handler) {
        auto slot = std::make_shared<Slot>();
        slot->handler = std::move(handler);
        m_state->Add(slot);
        return Connection(m_state, slot);
    }

    std::size_t HandlerCount() const noexcept { return m_state->slots->size(); }

protected:
    ~EventSource() = default;

    struct Slot : detail::SlotBase {
        Handler handler;
    };

    using SlotList = std::vector<std::shared_ptr<Slot>>;

    // The list is never changed in place: connecting and disconnecting replace it, so that a
    // dispatch only has to hold on to the list it started with, without copying it.
    struct State final : detail::EventStateBase {
        std::shared_ptr<const SlotList> slots = std::make_shared<const SlotList>();

        void Add(std::shared_ptr<Slot> slot) {
            auto replacement = std::make_shared<SlotList>(*slots);
            replacement->push_back(std::move(slot));
            slots = std::move(replacement);
        }

        void Remove(const detail::SlotBase* slot) noexcept override {
            const auto found = std::find_if(slots->begin(), slots->end(),
                                            [slot](const auto& candidate) { return candidate.get() == slot; });
            if (found == slots->end()) {
                return;
            }
            try {
                auto replacement = std::make_shared<SlotList>();
                replacement->reserve(slots->size() - 1);
                std::copy_if(slots->begin(), slots->end(), std::back_inserter(*replacement),
                             [slot](const auto& candidate) { return candidate.get() != slot; });
                slots = std::move(replacement);
            } catch (...) {
                // Out of memory: the slot stays listed but disconnected, so it is never called again.
            }
        }
    };

    std::shared_ptr<State> m_state;
};

// Synchronous event. Handlers run in connection order on the raising thread. Dispatch works on
// a snapshot, so handlers may connect, disconnect, or destroy the event's owner while it runs:
// handlers connected during a dispatch first run on the next one, handlers disconnected during
// it are not called any more. A handler that throws is reported and the others still run; no
// exception reaches the code that raised the event.
template <class... Args>
class Event final : public EventSource<Args...> {
public:
    Event() = default;

    void Raise(Args... args) const {
        // Holding the list that was current keeps the handlers alive even if a handler destroys
        // this event; handlers connected meanwhile go into a new list and first run next time.
        const std::shared_ptr<const typename EventSource<Args...>::SlotList> snapshot = this->m_state->slots;
        for (const auto& slot : *snapshot) {
            if (!slot->connected) {
                continue;
            }
            try {
                slot->handler(args...);
            } catch (const std::exception& failure) {
                Diagnostics::Report("event handler", failure);
            } catch (...) {
                Diagnostics::Report("event handler", "unknown failure");
            }
        }
    }
};

}  // namespace vor
