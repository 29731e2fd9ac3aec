#pragma once

#include <cstddef>
#include <exception>
#include <functional>
#include <memory>
#include <utility>

#include "vormotor/core/Diagnostics.h"

namespace vor {

namespace detail {

struct SlotBase {
    bool connected = true;
};

struct EventStateBase {
    virtual void Remove(const SlotBase* slot) noexcept = 0;

    // Set when the event is destroyed by one of its own handlers: its state lives on until the
    // raise ends, but it no longer counts as connected.
    bool released = false;

protected:
    ~EventStateBase() = default;
};

}  // namespace detail

// An event subscription. Destroying or reassigning it disconnects the handler; it may outlive
// the event it was made from.
class Connection {
public:
    Connection() = default;
    // The slot belongs to the event's state and is freed only by this connection's Disconnect
    // (or with the state), so it is valid whenever the state still is.
    Connection(std::weak_ptr<detail::EventStateBase> state, detail::SlotBase* slot)
        : m_state(std::move(state)), m_slot(slot) {}
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    Connection(Connection&& other) noexcept
        : m_state(std::move(other.m_state)), m_slot(std::exchange(other.m_slot, nullptr)) {}
    Connection& operator=(Connection&& other) noexcept {
        if (this != &other) {
            Disconnect();
            m_state = std::move(other.m_state);
            m_slot = std::exchange(other.m_slot, nullptr);
        }
        return *this;
    }
    ~Connection() { Disconnect(); }

    void Disconnect() noexcept {
        if (m_slot != nullptr) {
            if (auto state = m_state.lock()) {
                state->Remove(m_slot);
            }
        }
        m_slot = nullptr;
        m_state.reset();
    }

    bool Connected() const noexcept {
        const auto state = m_state.lock();
        return m_slot != nullptr && state && !state->released;
    }

private:
    std::weak_ptr<detail::EventStateBase> m_state;
    detail::SlotBase* m_slot = nullptr;
};

// The subscriber's side of an event: objects hand this out so that only the owner can raise.
template <class... Args>
class EventSource {
public:
    using Handler = std::function<void(Args...)>;

    EventSource() = default;
    EventSource(const EventSource&) = delete;
    EventSource& operator=(const EventSource&) = delete;

    [[nodiscard]] Connection Connect(Handler handler) {
        // Most events of a value or a field are never handled: their state comes with the first handler.
        if (!m_state) {
            m_state = std::make_shared<State>();
        }
        return Connection(m_state, m_state->Add(std::move(handler)));
    }

    // Whether any handler is listed, without counting them: a handler disconnected during a raise
    // still counts until the raise ends.
    bool HasHandlers() const noexcept { return m_state && m_state->first; }

    std::size_t HandlerCount() const noexcept {
        std::size_t count = 0;
        for (const Slot* slot = m_state ? m_state->first.get() : nullptr; slot != nullptr; slot = slot->next.get()) {
            count += slot->connected ? 1 : 0;
        }
        return count;
    }

protected:
    // Destroyed by one of its own handlers, the event leaves its state to the raise under way,
    // which frees it when it ends.
    ~EventSource() {
        if (m_state && m_state->raising > 0) {
            State& state = *m_state;
            state.released = true;
            state.orphan = std::move(m_state);
        }
    }

    struct Slot;
    // The first slot lives in the event's state, which only lets go of its handler.
    struct SlotRelease {
        void operator()(Slot* slot) const noexcept {
            if (slot->inState) {
                slot->handler = nullptr;
            } else {
                delete slot;
            }
        }
    };
    using SlotPtr = std::unique_ptr<Slot, SlotRelease>;

    struct Slot : detail::SlotBase {
        Handler handler;
        // The next slot of the handler list, or of the slots kept for reuse.
        SlotPtr next;
        bool inState = false;
    };

    // Events are raised, connected and disconnected on one thread (the host's user-interface
    // thread), so the count of raises under way is a plain number. The handlers' slots form a
    // list in connection order, each slot owning the next, so that listing a handler takes no
    // allocation besides its slot, and the first handler none besides the state (values and
    // fields, with their events, are made anew at every attach). While a raise runs, the list
    // only grows at its end and disconnected slots stay in it, flagged, until the last raise
    // ends: a slot, and the handler running in it, never moves or dies under a raise. Slots are
    // reused, so that a subscription that comes and goes costs no allocation once the event has
    // had that many handlers.
    struct State final : detail::EventStateBase, std::enable_shared_from_this<State> {
        Slot own;
        SlotPtr first;
        Slot* last = nullptr;
        SlotPtr spare;  // the slots kept for reuse
        unsigned raising = 0;
        bool removedWhileRaising = false;
        std::shared_ptr<State> orphan;

        State() : spare(&own) { own.inState = true; }
        State(const State&) = delete;
        State& operator=(const State&) = delete;
        ~State() {
            Free(first);
            Free(spare);
        }

        Slot* Add(Handler handler) {
            SlotPtr slot;
            if (!spare) {
                slot.reset(new Slot());
            } else {
                slot = std::move(spare);
                spare = std::move(slot->next);
                slot->connected = true;
            }
            slot->handler = std::move(handler);
            Slot* const added = slot.get();
            (last != nullptr ? last->next : first) = std::move(slot);
            last = added;
            return added;
        }

        void Remove(const detail::SlotBase* slot) noexcept override {
            SlotPtr* link = &first;
            Slot* previous = nullptr;
            while (*link && link->get() != slot) {
                previous = link->get();
                link = &(*link)->next;
            }
            if (!*link) {
                return;
            }
            // The flag stops a raise already under way from calling this handler.
            (*link)->connected = false;
            if (raising > 0) {
                removedWhileRaising = true;
                return;
            }
            auto removed = std::move(*link);
            *link = std::move(removed->next);
            if (last == removed.get()) {
                last = previous;
            }
            Recycle(std::move(removed));
        }

        // When the last raise ends, the slots disconnected during it leave the list.
        void Settle() noexcept {
            removedWhileRaising = false;
            SlotPtr removed;
            SlotPtr* link = &first;
            Slot* previous = nullptr;
            while (*link) {
                if ((*link)->connected) {
                    previous = link->get();
                    link = &(*link)->next;
                    continue;
                }
                auto slot = std::move(*link);
                *link = std::move(slot->next);
                slot->next = std::move(removed);
                removed = std::move(slot);
            }
            last = previous;
            while (removed) {
                auto slot = std::move(removed);
                removed = std::move(slot->next);
                Recycle(std::move(slot));
            }
        }

        // The list is consistent before the handler goes: destroying what it captured may
        // connect or disconnect handlers of this event.
        void Recycle(SlotPtr slot) noexcept {
            slot->handler = nullptr;
            slot->next = std::move(spare);
            spare = std::move(slot);
        }

        // One by one: a long chain would otherwise be freed recursively.
        static void Free(SlotPtr& chain) noexcept {
            while (chain) {
                chain = std::move(chain->next);
            }
        }
    };

    std::shared_ptr<State> m_state;
};

// Synchronous event. Handlers run in connection order on the raising thread. Handlers may
// connect, disconnect, or destroy the event's owner while it runs: handlers connected during a
// raise first run on the next one, handlers disconnected during it are not called any more. A
// handler that throws is reported and the others still run; no exception reaches the code that
// raised the event.
template <class... Args>
class Event final : public EventSource<Args...> {
public:
    Event() = default;

    void Raise(Args... args) const {
        using State = typename EventSource<Args...>::State;
        using Slot = typename EventSource<Args...>::Slot;
        if (!this->m_state || !this->m_state->first) {
            return;
        }
        // Only the state is used once a handler has run: a handler may destroy this event.
        State& state = *this->m_state;
        struct Raising {
            State& state;
            explicit Raising(State& raised) noexcept : state(raised) { ++state.raising; }
            ~Raising() {
                if (--state.raising > 0) {
                    return;
                }
                if (state.orphan) {
                    const auto last = std::move(state.orphan);
                    return;
                }
                if (state.removedWhileRaising) {
                    // Releasing what the removed handlers captured may destroy the event.
                    const auto keep = state.shared_from_this();
                    state.Settle();
                }
            }
        } raising(state);
        // The slots listed now; handlers connected meanwhile are listed after the last of them.
        const Slot* const lastListed = state.last;
        for (Slot* slot = state.first.get(); slot != nullptr; slot = slot->next.get()) {
            if (slot->connected) {
                try {
                    slot->handler(args...);
                } catch (const std::exception& failure) {
                    Diagnostics::Report("event handler", failure);
                } catch (...) {
                    Diagnostics::Report("event handler", "unknown failure");
                }
            }
            if (slot == lastListed) {
                break;
            }
        }
    }
};

}  // namespace vor
