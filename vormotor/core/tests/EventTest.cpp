#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "vormotor/core/Diagnostics.h"
#include "vormotor/core/Event.h"
#include "vormotor/core/WithEvents.h"

namespace vor {
namespace {

struct Source {
    Event<int> changed;
};

class DiagnosticsCapture {
public:
    DiagnosticsCapture() {
        m_previous = Diagnostics::SetSink([this](std::string_view origin, std::string_view what) {
            reports.emplace_back(std::string(origin) + ": " + std::string(what));
        });
    }
    ~DiagnosticsCapture() { Diagnostics::SetSink(m_previous); }
    std::vector<std::string> reports;

private:
    Diagnostics::Sink m_previous;
};

TEST(Event, DeliversToHandlersInConnectionOrder) {
    Event<int, std::string> event;
    std::vector<std::string> calls;
    auto first = event.Connect([&](int n, std::string s) { calls.push_back("a" + std::to_string(n) + s); });
    auto second = event.Connect([&](int n, std::string s) { calls.push_back("b" + std::to_string(n) + s); });
    event.Raise(7, "x");
    EXPECT_EQ(calls, (std::vector<std::string>{"a7x", "b7x"}));
}

TEST(Event, DestroyedOrMovedConnectionsBehave) {
    Event<> event;
    int calls = 0;
    {
        auto scoped = event.Connect([&] { ++calls; });
        EXPECT_TRUE(scoped.Connected());
        EXPECT_TRUE(event.HasHandlers());
    }
    event.Raise();
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(event.HandlerCount(), 0u);
    EXPECT_FALSE(event.HasHandlers());

    Connection kept = event.Connect([&] { ++calls; });
    Connection moved = std::move(kept);
    EXPECT_FALSE(kept.Connected());
    event.Raise();
    EXPECT_EQ(calls, 1);
    moved = event.Connect([&] { calls += 10; });  // replacing a connection disconnects the old handler
    event.Raise();
    EXPECT_EQ(calls, 11);
}

TEST(Event, ConnectionMayOutliveTheEvent) {
    Connection connection;
    {
        Event<> event;
        connection = event.Connect([] {});
    }
    EXPECT_FALSE(connection.Connected());
    connection.Disconnect();
}

TEST(Event, HandlerConnectedDuringDispatchRunsFromTheNextDispatch) {
    Event<> event;
    std::vector<std::string> calls;
    std::optional<Connection> late;
    auto first = event.Connect([&] {
        calls.push_back("first");
        if (!late) {
            late = event.Connect([&] { calls.push_back("late"); });
        }
    });
    event.Raise();
    EXPECT_EQ(calls, (std::vector<std::string>{"first"}));
    event.Raise();
    EXPECT_EQ(calls, (std::vector<std::string>{"first", "first", "late"}));
}

TEST(Event, HandlerDisconnectingItselfAndALaterOneDuringDispatch) {
    Event<> event;
    std::vector<std::string> calls;
    Connection self;
    Connection later;
    self = event.Connect([&] {
        calls.push_back("self");
        self.Disconnect();
        later.Disconnect();
    });
    later = event.Connect([&] { calls.push_back("later"); });
    auto last = event.Connect([&] { calls.push_back("last"); });
    event.Raise();
    event.Raise();
    EXPECT_EQ(calls, (std::vector<std::string>{"self", "last", "last"}));
}

// A handler disconnected during a raise lets go of what it captured once the raise is over, and
// the place it leaves serves the next connection without the old one reaching it.
TEST(Event, HandlerDisconnectedDuringDispatchIsReleasedAfterIt) {
    Event<int> event;
    auto captured = std::make_shared<int>(0);
    std::weak_ptr<int> watch = captured;
    Connection dropped = event.Connect([captured](int) {});
    captured.reset();
    std::vector<std::string> calls;
    std::optional<Connection> nested;
    Connection dropper = event.Connect([&](int n) {
        dropped.Disconnect();
        calls.push_back("outer " + std::to_string(n) + (watch.expired() ? " released" : " held"));
        if (n == 1) {
            nested = event.Connect([&](int m) { calls.push_back("nested " + std::to_string(m)); });
            event.Raise(2);  // a raise inside a raise sees the handler connected before it
        }
    });
    event.Raise(1);
    EXPECT_TRUE(watch.expired());
    Connection reused = event.Connect([&](int n) { calls.push_back("reused " + std::to_string(n)); });
    dropped.Disconnect();
    event.Raise(3);
    EXPECT_EQ(calls, (std::vector<std::string>{"outer 1 held", "outer 2 held", "nested 2", "outer 3 released",
                                               "nested 3", "reused 3"}));
    EXPECT_EQ(event.HandlerCount(), 3u);
}

// Handlers are listed in connection order; one that leaves, from the front, the middle or the
// end, inside a raise or outside, leaves the others in order and the next connection at the end.
TEST(Event, OrderHoldsWhereverAHandlerLeaves) {
    for (const bool duringRaise : {false, true}) {
        for (const std::size_t leaving : {0u, 1u, 2u}) {
            Event<> event;
            std::vector<std::string> calls;
            std::vector<Connection> connections(3);
            for (std::size_t index = 0; index < connections.size(); ++index) {
                connections[index] = event.Connect([&calls, &connections, index, leaving, duringRaise] {
                    calls.push_back(std::to_string(index));
                    if (duringRaise && index == 0) {
                        connections[leaving].Disconnect();
                    }
                });
            }
            if (!duringRaise) {
                connections[leaving].Disconnect();
            }
            event.Raise();
            auto added = event.Connect([&] { calls.push_back("added"); });
            calls.clear();
            event.Raise();
            std::vector<std::string> expected;
            for (std::size_t index = 0; index < connections.size(); ++index) {
                if (index != leaving) {
                    expected.push_back(std::to_string(index));
                }
            }
            expected.push_back("added");
            EXPECT_EQ(calls, expected) << "handler " << leaving << (duringRaise ? " left during a raise" : "");
            EXPECT_EQ(event.HandlerCount(), 3u);
        }
    }
}

TEST(Event, HandlerMayDestroyTheEventOwner) {
    auto source = std::make_unique<Source>();
    std::vector<int> seen;
    auto killer = source->changed.Connect([&](int n) {
        seen.push_back(n);
        source.reset();
    });
    auto after = source->changed.Connect([&](int n) { seen.push_back(n * 10); });
    source->changed.Raise(3);
    EXPECT_EQ(source, nullptr);
    // The second handler was connected when the event was raised, so it still hears about it.
    EXPECT_EQ(seen, (std::vector<int>{3, 30}));
}

TEST(Event, ThrowingHandlerIsReportedAndTheOthersStillRun) {
    DiagnosticsCapture capture;
    Event<int> event;
    std::vector<int> seen;
    auto first = event.Connect([&](int n) { seen.push_back(n); });
    auto thrower = event.Connect([](int) { throw std::runtime_error("boom"); });
    auto oddball = event.Connect([](int) { throw 42; });
    auto last = event.Connect([&](int n) { seen.push_back(-n); });
    EXPECT_NO_THROW(event.Raise(5));
    EXPECT_EQ(seen, (std::vector<int>{5, -5}));
    EXPECT_EQ(capture.reports, (std::vector<std::string>{"event handler: boom", "event handler: unknown failure"}));
}

struct Holder {
    std::vector<std::string> log;
    WithEvents<Source> member{[this](Source& source, std::vector<Connection>& connections) {
        connections.push_back(source.changed.Connect([this, &source](int n) { OnChanged(source, n); }));
    }};
    std::shared_ptr<Source> replacement;
    bool dropOnEvent = false;

    void OnChanged(Source&, int n) {
        log.push_back("changed " + std::to_string(n));
        if (replacement) {
            member = std::exchange(replacement, nullptr);
        } else if (dropOnEvent) {
            member = nullptr;
        }
    }
};

TEST(WithEvents, AssignmentMovesTheSubscription) {
    Holder holder;
    auto first = std::make_shared<Source>();
    auto second = std::make_shared<Source>();
    holder.member = first;
    first->changed.Raise(1);
    holder.member = second;
    first->changed.Raise(2);
    second->changed.Raise(3);
    holder.member = nullptr;
    second->changed.Raise(4);
    EXPECT_EQ(holder.log, (std::vector<std::string>{"changed 1", "changed 3"}));
    EXPECT_EQ(first->changed.HandlerCount(), 0u);
    EXPECT_EQ(second->changed.HandlerCount(), 0u);
}

// A refresh that assigns the object it already holds keeps the subscription where it was.
TEST(WithEvents, AssigningTheSameObjectAgainKeepsTheSubscription) {
    Holder holder;
    auto source = std::make_shared<Source>();
    holder.member = source;
    auto later = source->changed.Connect([&](int n) { holder.log.push_back("later " + std::to_string(n)); });
    holder.member = source;
    holder.member = Ref<Source>(source);
    EXPECT_EQ(source->changed.HandlerCount(), 2u);
    source->changed.Raise(1);
    EXPECT_EQ(holder.log, (std::vector<std::string>{"changed 1", "later 1"}));
}

TEST(WithEvents, HandlerMayReassignTheMemberItWasCalledThrough) {
    Holder holder;
    holder.member = std::make_shared<Source>();  // the member holds the only reference
    auto next = std::make_shared<Source>();
    holder.replacement = next;
    holder.member->changed.Raise(1);  // frees the first source while its event is dispatching
    EXPECT_EQ(holder.member.Get(), next);
    next->changed.Raise(2);
    EXPECT_EQ(holder.log, (std::vector<std::string>{"changed 1", "changed 2"}));
}

TEST(WithEvents, HandlerMayDropTheMemberItWasCalledThrough) {
    Holder holder;
    holder.member = std::make_shared<Source>();
    holder.dropOnEvent = true;
    holder.member->changed.Raise(1);
    EXPECT_TRUE(holder.member.IsNothing());
}

TEST(WithEvents, HolderDestroyedInsideItsOwnHandlerStopsDelivery) {
    auto source = std::make_shared<Source>();
    auto holder = std::make_unique<Holder>();
    holder->member = source;
    int laterCalls = 0;
    auto killer = source->changed.Connect([&](int) { holder.reset(); });
    auto later = source->changed.Connect([&](int) { ++laterCalls; });
    source->changed.Raise(1);
    source->changed.Raise(2);
    EXPECT_EQ(holder, nullptr);
    EXPECT_EQ(laterCalls, 2);
    EXPECT_EQ(source->changed.HandlerCount(), 2u);  // the holder's own handler is gone
}

TEST(WithEvents, SubscriberReturningItsConnectionsStillServes) {
    std::vector<int> seen;
    WithEvents<Source> member([&](Source& source) {
        std::vector<Connection> connections;
        connections.push_back(source.changed.Connect([&](int n) { seen.push_back(n); }));
        return connections;
    });
    auto first = std::make_shared<Source>();
    auto second = std::make_shared<Source>();
    member = first;
    first->changed.Raise(1);
    member = second;
    first->changed.Raise(2);
    second->changed.Raise(3);
    EXPECT_EQ(seen, (std::vector<int>{1, 3}));
}

TEST(WithEvents, SubscriptionFailingPartWayKeepsNoConnection) {
    auto source = std::make_shared<Source>();
    int calls = 0;
    WithEvents<Source> member([&](Source& object, std::vector<Connection>& connections) {
        connections.push_back(object.changed.Connect([&](int) { ++calls; }));
        throw std::runtime_error("second event refused");
    });
    EXPECT_THROW(member = source, std::runtime_error);
    source->changed.Raise(1);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(source->changed.HandlerCount(), 0u);
}

TEST(WithEvents, NullMemberRaisesObjectNotSet) {
    Holder holder;
    try {
        holder.member->changed.Raise(1);
        FAIL();
    } catch (const Error& error) {
        EXPECT_EQ(error.Number(), error_number::ObjectNotSet);
    }
}

}  // namespace
}  // namespace vor
