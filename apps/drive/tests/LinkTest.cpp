#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <modbus/modbus.h>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <random>
#include <sstream>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#include "apps/drive/tests/ServedDrive.h"
#include "apps/host/ScriptHost.h"
#include "vormotor/core/Error.h"
#include "vormotor/drivemodel/ProfileLoader.h"
#include "vormotor/netdrive/DriveImage.h"
#include "vormotor/netdrive/NetLink.h"
#include "vormotor/netdrive/RegisterMap.h"
#include "vormotor/script/BuiltinProfiles.h"

namespace vor::drive {
namespace {

using namespace std::chrono_literals;
using netdrive::LinkOptions;
using netdrive::NetLink;

// The servo's speed limits and the editors the panel shows them in.
constexpr std::int32_t kForwardLimit = 42;
constexpr std::int32_t kReverseLimit = 116;
const std::string kForwardEditor = "ParamItem(31)";
const std::string kReverseEditor = "ParamItem(1)";

netdrive::LinkOptions Loopback(int port) {
    netdrive::LinkOptions options;
    options.port = port;
    options.timeout = 200ms;
    options.retryInterval = 10ms;
    return options;
}

std::int32_t ErrorNumberOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const Error& error) {
        return error.Number();
    }
    return 0;
}

// Whether `part` appears in `whole` in the same order.
bool IsSubsequence(const std::vector<model::DriveWrite>& part, const std::vector<model::DriveWrite>& whole) {
    auto next = whole.begin();
    for (const auto& write : part) {
        next = std::find(next, whole.end(), write);
        if (next == whole.end()) {
            return false;
        }
        ++next;
    }
    return true;
}

class LinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_served.Start();
        auto connected = netdrive::NetLink::Connect(Loopback(m_served.Port()));
        m_link = connected.link;
        m_copy = connected.drive.get();
        m_host = std::make_unique<host::ScriptHost>(std::move(connected.drive), m_out);
        for (const char* line : {"create", "show", "resize 12285 5460", "attach"}) {
            ASSERT_TRUE(Run(line)) << m_out.str();
        }
    }

    bool Run(const std::string& line) { return m_host->RunLine(line, ++m_lineNumber); }

    // Ticks until the link is back and the node online, for at most two seconds.
    bool TickUntilOnline() {
        for (int i = 0; i < 200; ++i) {
            Run("tick");
            if (m_link->IsUp() && m_copy->Node()->IsOnline()) {
                return true;
            }
            std::this_thread::sleep_for(10ms);
        }
        return false;
    }

    ServedDrive m_served{"servo"};
    std::shared_ptr<netdrive::NetLink> m_link;
    model::DriveModel* m_copy = nullptr;
    std::ostringstream m_out;
    std::unique_ptr<host::ScriptHost> m_host;
    std::int32_t m_lineNumber = 0;
};

TEST_F(LinkTest, KillingTheServerDuringTicksAndEditsLosesAndDuplicatesNoWrite) {
    std::atomic<bool> done{false};
    std::thread killer([this, &done] {
        std::mt19937 random(18);
        std::uniform_int_distribution<int> pause(2, 25);
        while (!done) {
            std::this_thread::sleep_for(std::chrono::milliseconds(pause(random)));
            m_served.Kill();
            std::this_thread::sleep_for(std::chrono::milliseconds(pause(random)));
            m_served.Start();
        }
    });
    int succeeded = 0;
    int failed = 0;
    const auto end = std::chrono::steady_clock::now() + 1500ms;
    for (int i = 0; std::chrono::steady_clock::now() < end; ++i) {
        const std::string& editor = i % 2 == 0 ? kForwardEditor : kReverseEditor;
        (Run("edit " + editor + " " + std::to_string(1000 + i % 4000)) ? succeeded : failed)++;
        Run("tick");
        std::this_thread::sleep_for(1ms);
    }
    done = true;
    killer.join();

    ASSERT_TRUE(TickUntilOnline());
    EXPECT_TRUE(Run("edit " + kForwardEditor + " 4321")) << m_out.str();
    m_served.Kill();
    // Both kinds of outcome happened, so the link really broke under the edits.
    EXPECT_GT(succeeded, 0);
    EXPECT_GT(failed, 0);
    EXPECT_EQ(m_served.Drive().Writes(), m_link->DeliveredWrites());
    EXPECT_TRUE(IsSubsequence(m_copy->Writes(), m_link->DeliveredWrites()));
    EXPECT_EQ(m_served.Drive().Writes().back(), model::DriveWrite::Param(kForwardLimit, 4321));
}

TEST_F(LinkTest, DuringALossTheNodeIsOfflineAndDriveCallsFailLikeAnyFailingCall) {
    m_served.Kill();
    Run("tick");
    auto node = m_copy->Node();
    EXPECT_FALSE(node->IsOnline());
    const std::vector<std::function<void()>> driveCalls = {
        [&] { node->Param(41); },
        [&] { node->HasParam(41); },
        [&] { node->DriveEnabled(); },
        [&] { node->SetDriveEnabled(false); },
        [&] { m_copy->Node()->DriveParam(41)->Content().Number(); },
        [&] { m_copy->Node()->DriveParam(170)->FindField("Motor Type")->SetValue(2); },
    };
    for (const auto& call : driveCalls) {
        EXPECT_EQ(ErrorNumberOf(call), netdrive::NetLink::kLinkDown);
    }
    // The application's own objects do not need the drive.
    EXPECT_NO_THROW(m_copy->Network()->AccessLock()->Level());
    EXPECT_NO_THROW(m_copy->Network()->AppEvents()->TechSupport());
    EXPECT_TRUE(m_served.Drive().Writes().empty());
}

TEST_F(LinkTest, TheCopyFollowsTheDriveOnlyOnTheHostsTickOnItsThread) {
    m_served.Kill();
    m_served.Drive().SetParam(kForwardLimit, 2500);
    m_served.Drive().SetAccessLevel(0);
    m_served.Drive().SetMicrostepChoices({{400, "400 steps"}, {800, "800 steps"}});
    m_served.Drive().SetMicrostepVisible(400, false);
    m_served.Start();
    std::vector<std::thread::id> raisedOn;
    auto param = m_copy->Node()->DriveParam(kForwardLimit);
    const Connection changed =
        param->ContentChanged().Connect([&](double) { raisedOn.push_back(std::this_thread::get_id()); });
    std::this_thread::sleep_for(50ms);
    EXPECT_TRUE(raisedOn.empty());
    ASSERT_TRUE(TickUntilOnline());
    EXPECT_EQ(raisedOn, std::vector<std::thread::id>{std::this_thread::get_id()});
    EXPECT_EQ(param->DriveNumber(), 2500);
    EXPECT_EQ(m_copy->AccessLevel(), 0);
    const auto& microsteps = m_copy->Node()->DriveMicrosteps();
    ASSERT_EQ(microsteps.size(), 2u);
    EXPECT_EQ(microsteps[1]->NameText(), "800 steps");
    EXPECT_FALSE(microsteps[0]->IsVisible());
    EXPECT_TRUE(microsteps[1]->IsVisible());
}

TEST_F(LinkTest, AWriteTheDriveRefusesFailsAndKeepsTheLink) {
    m_served.Kill();
    m_served.Drive().Faults().FailEveryCall("Content.SetNumber", sim::FaultScope{kForwardLimit});
    m_served.Start();
    ASSERT_TRUE(TickUntilOnline());
    EXPECT_FALSE(Run("edit " + kForwardEditor + " 1234"));
    EXPECT_TRUE(Run("edit " + kReverseEditor + " 1234")) << m_out.str();
    EXPECT_TRUE(m_link->IsUp());
    m_served.Kill();
    EXPECT_EQ(m_served.Drive().Writes(), std::vector<model::DriveWrite>{model::DriveWrite::Param(kReverseLimit, 1234)});
    EXPECT_EQ(m_link->DeliveredWrites(), m_served.Drive().Writes());
}

TEST_F(LinkTest, AWriteWhoseAnswerTheLinkLostCountsAsDeliveredOnceTheDriveReportsIt) {
    m_served.Kill();
    // The drive applies the write, then is too slow to answer it in time.
    const Connection slow = m_served.Drive().Node()->DriveParam(kForwardLimit)->ContentChanged().Connect([](double) {
        std::this_thread::sleep_for(400ms);
    });
    m_served.Start();
    ASSERT_TRUE(TickUntilOnline());

    EXPECT_FALSE(Run("edit " + kForwardEditor + " 2222"));
    EXPECT_FALSE(m_link->IsUp());
    EXPECT_TRUE(m_link->DeliveredWrites().empty());
    ASSERT_TRUE(TickUntilOnline());
    m_served.Kill();
    const std::vector<model::DriveWrite> applied{model::DriveWrite::Param(kForwardLimit, 2222)};
    EXPECT_EQ(m_served.Drive().Writes(), applied);
    EXPECT_EQ(m_link->DeliveredWrites(), applied);
    EXPECT_TRUE(m_copy->Writes().empty());
    // The panel's copy learnt the value from the drive, not from the failed call.
    EXPECT_EQ(m_copy->ParamNumber(kForwardLimit), 2222);
}

TEST(LinkTimeoutTest, ADriveThatNeverAnswersIsGivenUpWithinTheTimeout) {
    // A listener that never accepts: the connection completes in the kernel, no answer comes.
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(listener, 4), 0);
    socklen_t size = sizeof address;
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size);
    netdrive::LinkOptions options;
    options.port = ntohs(address.sin_port);
    options.timeout = 100ms;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ErrorNumberOf([&] { netdrive::NetLink::Connect(options); }), netdrive::NetLink::kLinkDown);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    close(listener);
}

// A drive that serves whatever registers the test puts there, right or wrong, one client at a
// time, through libmodbus.
class FakeDrive {
public:
    FakeDrive()
        : m_context(modbus_new_tcp("127.0.0.1", 0)),
          m_mapping(modbus_mapping_new(0, 0, 0, netdrive::reg::kInputRegisters)),
          m_listener(modbus_tcp_listen(m_context, 4)) {
        modbus_set_indication_timeout(m_context, 0, 20'000);
        m_thread = std::thread([this] { Serve(); });
    }
    ~FakeDrive() {
        m_stop = true;
        m_thread.join();
        close(m_listener);
        modbus_mapping_free(m_mapping);
        modbus_free(m_context);
    }

    int Port() const {
        sockaddr_in address{};
        socklen_t size = sizeof address;
        getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &size);
        return ntohs(address.sin_port);
    }
    void Edit(const std::function<void(std::uint16_t* inputs)>& edit) {
        const std::lock_guard lock(m_mutex);
        edit(m_mapping->tab_input_registers);
    }

private:
    void Serve() {
        while (!m_stop) {
            pollfd ready{m_listener, POLLIN, 0};
            if (poll(&ready, 1, 10) <= 0) {
                continue;
            }
            int listener = m_listener;
            const int client = modbus_tcp_accept(m_context, &listener);
            while (!m_stop && client >= 0) {
                std::uint8_t request[MODBUS_TCP_MAX_ADU_LENGTH];
                const int length = modbus_receive(m_context, request);
                if (length < 0 && errno != ETIMEDOUT) {
                    break;
                }
                const std::lock_guard lock(m_mutex);
                if (length > 0) {
                    modbus_reply(m_context, request, length, m_mapping);
                }
            }
            close(client);
        }
    }

    modbus_t* m_context;
    modbus_mapping_t* m_mapping;
    int m_listener;
    std::mutex m_mutex;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// The registers of the servo as a drive serves them; returns what they show.
netdrive::DriveImage ServeServo(FakeDrive& fake) {
    namespace reg = netdrive::reg;
    const std::string description(*script::BuiltinProfile("servo"));
    const model::Profile profile = model::ProfileLoader::Parse(description, "servo");
    sim::SimDrive drive(profile);
    auto image = netdrive::DriveImage::Capture(drive, profile);
    image.session = 1;
    image.changeCount = 1;
    fake.Edit([&](std::uint16_t* inputs) {
        image.Encode(inputs);
        netdrive::PutText(inputs + reg::text::kDescription, description, reg::text::kDescriptionMax);
        netdrive::PutText(inputs + reg::text::kMicrosteps, "[]", reg::text::kMicrostepsMax);
    });
    return image;
}

TEST(LinkBadDriveTest, ATextLengthPastItsRegistersTakesTheLinkDownWithoutReadingPastThem) {
    namespace reg = netdrive::reg;
    for (const std::uint32_t length : {0xFFFFFFFFu, 0xFFFFFFFEu, 0x7FFFFFFFu}) {
        FakeDrive fake;
        ServeServo(fake);
        fake.Edit([length](std::uint16_t* inputs) {
            netdrive::PutInt32(inputs + reg::text::kDescription, static_cast<std::int32_t>(length));
        });
        EXPECT_EQ(ErrorNumberOf([&] { netdrive::NetLink::Connect(Loopback(fake.Port())); }),
                  netdrive::NetLink::kLinkDown)
            << length;

        ServeServo(fake);
        const auto connected = netdrive::NetLink::Connect(Loopback(fake.Port()));
        fake.Edit([length](std::uint16_t* inputs) {
            netdrive::PutInt32(inputs + reg::text::kMicrosteps, static_cast<std::int32_t>(length));
            ++inputs[reg::header::kMicrostepGeneration + 1];
            ++inputs[reg::header::kChangeCount + 1];
        });
        connected.link->PollNow();
        EXPECT_FALSE(connected.link->IsUp()) << length;
    }
}

TEST(LinkFakeDriveTest, AnIdlePollIsOneRequestAndTheChangeCountSaysWhenToReadAll) {
    FakeDrive fake;
    auto image = ServeServo(fake);
    const auto connected = netdrive::NetLink::Connect(Loopback(fake.Port()));
    const auto poll = [&] {
        const auto before = connected.link->Requests();
        connected.link->PollNow();
        EXPECT_TRUE(connected.link->IsUp());
        return connected.link->Requests() - before;
    };
    const std::int32_t param = image.params[0].number;
    const auto serve = [&](double value, std::uint32_t changeCount) {
        image.params[0].value = value;
        image.changeCount = changeCount;
        fake.Edit([&](std::uint16_t* inputs) { image.Encode(inputs); });
    };
    const double first = image.params[0].value;
    const double second = std::floor((image.params[0].lowerLimit + image.params[0].upperLimit) / 2);
    ASSERT_NE(first, second);

    EXPECT_EQ(poll(), 1u);
    serve(second, 1);  // a drive that forgot to count its change is not followed
    EXPECT_EQ(poll(), 1u);
    EXPECT_EQ(connected.drive->ParamNumber(param), first);
    serve(second, 2);
    EXPECT_GT(poll(), 1u);
    EXPECT_EQ(connected.drive->ParamNumber(param), second);
    serve(first, 0);  // no count kept: every poll reads everything
    EXPECT_GT(poll(), 1u);
    EXPECT_EQ(connected.drive->ParamNumber(param), first);
    EXPECT_GT(poll(), 1u);
}

}  // namespace
}  // namespace vor::drive
