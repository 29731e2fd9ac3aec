// Peers that break the protocol, stall or flood: each one is served or closed on its own, a
// well-behaved client keeps getting its answers quickly, and nothing malformed reaches the drive.
#include <gtest/gtest.h>

#include <atomic>
#include <bit>
#include <chrono>
#include <cmath>
#include <functional>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <optional>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#include "apps/drive/ControlServer.h"
#include "apps/drive/DriveServer.h"
#include "vormotor/drivemodel/ProfileLoader.h"
#include "vormotor/netdrive/ControlClient.h"
#include "vormotor/netdrive/RegisterMap.h"
#include "vormotor/script/BuiltinProfiles.h"

namespace vor::drive {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
namespace reg = netdrive::reg;

constexpr auto kPromptly = 50ms;
constexpr std::int32_t kForwardLimit = 42;

app::SocketService::Limits TestLimits() {
    app::SocketService::Limits limits;
    limits.maxClients = 32;
    limits.stallTimeout = 200ms;
    limits.idleTimeout = 2s;
    return limits;
}

// A raw loopback TCP client: bytes out, bytes in, nothing of Modbus.
class Peer {
public:
    explicit Peer(int port) : m_socket(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        m_connected = connect(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        const int yes = 1;
        setsockopt(m_socket, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    }
    ~Peer() { close(m_socket); }
    Peer(const Peer&) = delete;
    Peer& operator=(const Peer&) = delete;

    bool Connected() const { return m_connected; }
    // Sends what the socket takes now; false once the server closed it.
    bool Send(const std::string& bytes, std::size_t* sent = nullptr) {
        const ssize_t count = send(m_socket, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent != nullptr) {
            *sent = count > 0 ? static_cast<std::size_t>(count) : 0;
        }
        return count >= 0 || errno == EAGAIN;
    }
    // Exactly `size` bytes within `timeout`, or none.
    std::optional<std::string> Receive(std::size_t size, std::chrono::milliseconds timeout) {
        std::string bytes;
        const auto deadline = Clock::now() + timeout;
        while (bytes.size() < size) {
            if (!Wait(deadline)) {
                return std::nullopt;
            }
            char chunk[512];
            const ssize_t count = recv(m_socket, chunk, std::min(sizeof chunk, size - bytes.size()), MSG_DONTWAIT);
            if (count <= 0) {
                return std::nullopt;
            }
            bytes.append(chunk, static_cast<std::size_t>(count));
        }
        return bytes;
    }
    // Whether the server closed the connection within `timeout` (what it sent before is skipped).
    bool ClosedWithin(std::chrono::milliseconds timeout) {
        const auto deadline = Clock::now() + timeout;
        while (Wait(deadline)) {
            char chunk[4096];
            const ssize_t count = recv(m_socket, chunk, sizeof chunk, MSG_DONTWAIT);
            if (count == 0 || (count < 0 && errno != EAGAIN)) {
                return true;
            }
        }
        return false;
    }

private:
    bool Wait(Clock::time_point deadline) const {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd ready{m_socket, POLLIN, 0};
        return left.count() > 0 && poll(&ready, 1, static_cast<int>(left.count())) > 0;
    }

    int m_socket;
    bool m_connected = false;
};

std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (const int value : values) {
        bytes += static_cast<char>(value);
    }
    return bytes;
}

std::string Word(int value) {
    return Bytes({(value >> 8) & 0xFF, value & 0xFF});
}

// A Modbus TCP frame around `pdu`; `length` overrides the header's length field.
std::string Frame(const std::string& pdu, int transaction = 7, int protocol = 0, std::optional<int> length = {}) {
    return Word(transaction) + Word(protocol) + Word(length.value_or(static_cast<int>(pdu.size()) + 1)) +
           Bytes({0xFF}) + pdu;
}

std::string ReadPdu(int address, int count, int function = 4) {
    return Bytes({function}) + Word(address) + Word(count);
}

// A write request of `kind` for parameter `param`, with the byte count it claims and the
// registers it carries given apart.
std::string WritePdu(int kind, double value, int param = kForwardLimit, int byteCount = 20, int carried = 10,
                     int count = 10, int address = 0) {
    std::string registers = Word(0) + Word(99) + Word(kind) + Word(0) + Word(param) + Word(0);
    const auto bits = std::bit_cast<std::uint64_t>(value);
    for (int shift = 48; shift >= 0; shift -= 16) {
        registers += Word(static_cast<int>((bits >> shift) & 0xFFFF));
    }
    registers.resize(static_cast<std::size_t>(2 * carried), '\0');
    return Bytes({0x10}) + Word(address) + Word(count) + Bytes({byteCount}) + registers;
}

// The answer's function byte and, for an exception, its code (0 for a normal answer).
std::optional<std::pair<int, int>> Ask(Peer& peer, const std::string& pdu) {
    if (!peer.Send(Frame(pdu))) {
        return std::nullopt;
    }
    const auto header = peer.Receive(7, kPromptly);
    if (!header) {
        return std::nullopt;
    }
    const auto length = static_cast<std::size_t>((static_cast<unsigned char>((*header)[4]) << 8) |
                                                 static_cast<unsigned char>((*header)[5]));
    const auto body = peer.Receive(length - 1, kPromptly);
    if (!body || header->substr(0, 2) != Word(7)) {
        return std::nullopt;
    }
    const int function = static_cast<unsigned char>((*body)[0]);
    return std::pair(function & 0x7F, (function & 0x80) != 0 ? static_cast<unsigned char>((*body)[1]) : 0);
}

// The drive with its Modbus server and its control channel, served from a thread of the test as
// vormotor-drive serves them.
class Servers {
public:
    explicit Servers(int port = 0, int controlPort = 0) {
        const std::string description(*script::BuiltinProfile("servo"));
        auto drive = std::make_unique<sim::SimDrive>(model::ProfileLoader::Parse(description, "servo"));
        m_drive = drive.get();
        m_control = std::make_unique<ControlServer>(std::move(drive), "127.0.0.1", controlPort, TestLimits());
        m_server = std::make_unique<DriveServer>(*m_drive, m_memory, description, "127.0.0.1", port, TestLimits());
        m_control->SetAfterLine([this] { m_server->Publish(); });
        m_thread = std::thread([this] {
            while (!m_stop) {
                app::ServeOnce({m_server.get(), m_control.get()}, 5ms);
            }
        });
    }
    ~Servers() { Stop(); }

    int Port() const { return m_server->Port(); }
    int ControlPort() const { return m_control->Port(); }
    // The drive, once the servers stopped.
    sim::SimDrive& Drive() {
        Stop();
        return *m_drive;
    }

private:
    void Stop() {
        m_stop = true;
        if (m_thread.joinable()) {
            m_thread.join();
        }
    }

    sim::SimDrive* m_drive;
    DriveServer::LinkMemory m_memory;
    std::unique_ptr<ControlServer> m_control;
    std::unique_ptr<DriveServer> m_server;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

class BadPeerTest : public ::testing::Test {
protected:
    // The well-behaved client, connected before the bad peer: each read is answered promptly.
    void Probe() {
        const auto start = Clock::now();
        const auto answer = Ask(m_client, ReadPdu(0, reg::kHeadSize));
        ASSERT_TRUE(answer.has_value());
        EXPECT_LT(Clock::now() - start, kPromptly);
    }

    std::string Control(const std::string& line) {
        if (!m_control.Send(line + "\n")) {
            return "closed";
        }
        std::string answer;
        while (!answer.ends_with("=ok\n") && !answer.ends_with("=fail\n")) {
            const auto byte = m_control.Receive(1, 1s);
            if (!byte) {
                return answer + "(no answer)";
            }
            answer += *byte;
        }
        return answer;
    }

    Servers m_servers;
    Peer m_client{m_servers.Port()};
    Peer m_control{m_servers.ControlPort()};
};

TEST_F(BadPeerTest, EveryFunctionIsAnsweredAtOnceWithItsAnswerOrItsException) {
    for (int function = 0; function < 128; ++function) {
        int expected = 1;
        if (function == 3 || function == 4) {
            expected = 0;
        } else if (function == 0x10) {
            expected = 3;  // five bytes are not a write request
        } else if (function == 5 || function == 6 || function == 0x0F || function == 0x16 || function == 0x17) {
            expected = 2;
        }
        const auto start = Clock::now();
        const auto answer = Ask(m_client, ReadPdu(0, 1, function));
        ASSERT_TRUE(answer.has_value()) << "function " << function;
        EXPECT_EQ(*answer, std::pair(function, expected)) << "function " << function;
        EXPECT_LT(Clock::now() - start, kPromptly) << "function " << function;
    }
    EXPECT_TRUE(m_servers.Drive().Writes().empty());
}

TEST_F(BadPeerTest, AMalformedRequestIsRefusedWithoutTouchingTheDrive) {
    Peer other(m_servers.Port());
    ASSERT_EQ(Ask(other, WritePdu(reg::write::kNumber, 1111)), std::pair(0x10, 0));
    ASSERT_EQ(Control("1 drive.param 42 2222"), "=ok\n");
    const double nan = std::nan("");
    struct Case {
        const char* what;
        std::string pdu;
        int exception;
    };
    // Each of them once re-applied the other client's write still lying in the receive buffer.
    for (const Case& bad : {
             Case{"byte count 0", WritePdu(reg::write::kNumber, 3333, kForwardLimit, 0, 0), 3},
             Case{"byte count 22", WritePdu(reg::write::kNumber, 3333, kForwardLimit, 22, 11), 3},
             Case{"registers missing", WritePdu(reg::write::kNumber, 3333, kForwardLimit, 20, 9), 3},
             Case{"no registers", WritePdu(reg::write::kNumber, 3333, kForwardLimit, 0, 0, 0), 3},
             Case{"another address", WritePdu(reg::write::kNumber, 3333, kForwardLimit, 20, 10, 10, 1), 2},
             Case{"part of the request", WritePdu(reg::write::kNumber, 3333, kForwardLimit, 18, 9, 9), 2},
             Case{"no such kind", WritePdu(9, 3333), 3},
             Case{"field value 2.7", WritePdu(reg::write::kFieldValue, 2.7, 170), 3},
             Case{"enabled 5", WritePdu(reg::write::kDriveEnabled, 5), 3},
             Case{"enabled NaN", WritePdu(reg::write::kDriveEnabled, nan), 3},
             Case{"number NaN", WritePdu(reg::write::kNumber, nan), 4},
             Case{"read of 0", ReadPdu(0, 0), 3},
             Case{"read of 126", ReadPdu(0, 126), 3},
             Case{"read past the map", ReadPdu(0xFFFF, 2), 2},
             Case{"read with a tail", ReadPdu(0, 1) + "x", 3},
         }) {
        const auto answer = Ask(m_client, bad.pdu);
        ASSERT_TRUE(answer.has_value()) << bad.what;
        EXPECT_EQ(answer->second, bad.exception) << bad.what;
    }
    // Frames that are not Modbus TCP end the connection.
    for (const std::string& frame :
         {Frame(ReadPdu(0, 1), 7, 1), Frame(ReadPdu(0, 1), 7, 0, 1), Frame(ReadPdu(0, 1), 7, 0, 300)}) {
        Peer stranger(m_servers.Port());
        stranger.Send(frame);
        EXPECT_TRUE(stranger.ClosedWithin(1s));
    }
    Probe();
    sim::SimDrive& drive = m_servers.Drive();
    EXPECT_EQ(drive.ParamNumber(kForwardLimit), 2222);
    EXPECT_EQ(drive.Writes(), std::vector<model::DriveWrite>{model::DriveWrite::Param(kForwardLimit, 1111)});
}

TEST_F(BadPeerTest, ALongControlLineNeitherKillsTheServerNorPassesUnreported) {
    std::string names = "1 drive.microsteps";
    for (int code = 1; code <= 64; ++code) {
        names += " " + std::to_string(code) + "=" + std::string(150, 'n');
    }
    const std::string refused = Control(names);
    EXPECT_TRUE(refused.ends_with("=fail\n")) << refused;
    EXPECT_NE(refused.find("cannot carry"), std::string::npos) << refused;
    // What the link cannot show is refused to its readers, not passed off as the old catalogue.
    EXPECT_EQ(Ask(m_client, ReadPdu(0, reg::kHeadSize)), std::pair(4, 4));
    EXPECT_EQ(Control("2 drive.microsteps 200 400"), "=ok\n");
    EXPECT_EQ(Ask(m_client, ReadPdu(0, reg::kHeadSize)), std::pair(4, 0));

    Peer endless(m_servers.ControlPort());
    for (int i = 0; i < 20; ++i) {
        endless.Send(std::string(4096, 'x'));
    }
    EXPECT_TRUE(endless.ClosedWithin(1s));
    Probe();
}

TEST(ControlChannelTest, ALineFailsClearlyWithoutTheChannelAndGetsThroughAgainAfterARestart) {
    auto servers = std::make_unique<Servers>();
    const int port = servers->Port();
    const int controlPort = servers->ControlPort();
    servers.reset();
    netdrive::ControlClient client("127.0.0.1", controlPort, 500ms);
    try {
        client.Run("drive.param 42 5", 1);
        ADD_FAILURE() << "a line went through without a control channel";
    } catch (const std::runtime_error& failure) {
        EXPECT_NE(std::string(failure.what()).find("no control channel at 127.0.0.1:"), std::string::npos)
            << failure.what();
    }
    for (int start = 0; start < 2; ++start) {
        servers = std::make_unique<Servers>(port, controlPort);
        const auto answer = client.Run("drive.param 42 " + std::to_string(start + 6), 2 + start);
        EXPECT_TRUE(answer.succeeded) << answer.output;
        servers.reset();
    }
}

struct Attack {
    const char* what;
    // Runs the attack on the server's port, probing the well-behaved client as it goes.
    std::function<void(int port, const std::function<void()>& probe)> run;
};

class BadPeerAttackTest : public BadPeerTest, public ::testing::WithParamInterface<Attack> {};

TEST_P(BadPeerAttackTest, TheWellBehavedClientIsAnsweredPromptlyThroughout) {
    GetParam().run(m_servers.Port(), [this] { Probe(); });
    Probe();
    EXPECT_TRUE(m_servers.Drive().Writes().empty());
}

void SlowSender(int port, const std::function<void()>& probe) {
    Peer slow(port);
    for (const char byte : Frame(ReadPdu(0, 1))) {
        slow.Send(std::string(1, byte));
        probe();
        std::this_thread::sleep_for(30ms);
    }
    EXPECT_TRUE(slow.ClosedWithin(1s));
}

void NeverReads(int port, const std::function<void()>& probe) {
    Peer greedy(port);
    std::string requests;
    for (int i = 0; i < 1000; ++i) {
        requests += Frame(ReadPdu(0, 125));
    }
    // Sends until the server stops taking requests, as its answers pile up unread.
    const auto giveUp = Clock::now() + 10s;
    for (auto lastTaken = Clock::now(); Clock::now() - lastTaken < 300ms && Clock::now() < giveUp;) {
        std::size_t sent = 0;
        if (!greedy.Send(requests, &sent)) {
            break;
        }
        if (sent > 0) {
            lastTaken = Clock::now();
        }
        probe();
    }
    EXPECT_LT(Clock::now(), giveUp);
    EXPECT_TRUE(greedy.ClosedWithin(2s));
}

void ConnectionFlood(int port, const std::function<void()>& probe) {
    rlimit files{};
    getrlimit(RLIMIT_NOFILE, &files);
    files.rlim_cur = std::max<rlim_t>(files.rlim_cur, std::min<rlim_t>(files.rlim_max, 4500));
    setrlimit(RLIMIT_NOFILE, &files);
    std::vector<std::unique_ptr<Peer>> flood;
    for (int i = 0; i < 2000; ++i) {
        flood.push_back(std::make_unique<Peer>(port));
        if (i % 100 == 0) {
            probe();
        }
    }
    // Past the cap, the quietest that never asked anything made room for the next.
    EXPECT_TRUE(flood.front()->ClosedWithin(1s));
}

std::chrono::microseconds ProcessorTime() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return std::chrono::seconds(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           std::chrono::microseconds(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

// Connections wait while the server has no descriptor left to accept them with.
void DescriptorLimit(int port, const std::function<void()>& probe) {
    probe();  // the well-behaved client is in before the descriptors run out
    // The peers' sockets exist before the limit drops; connecting them takes no descriptor.
    std::vector<int> peers(8);
    for (int& peer : peers) {
        peer = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    }
    rlimit files{};
    getrlimit(RLIMIT_NOFILE, &files);
    const rlimit before = files;
    files.rlim_cur = static_cast<rlim_t>(peers.back() + 1);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &files), 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    for (const int peer : peers) {
        connect(peer, reinterpret_cast<sockaddr*>(&address), sizeof address);
    }
    const auto spent = ProcessorTime();
    for (int i = 0; i < 10; ++i) {
        probe();
        std::this_thread::sleep_for(30ms);
    }
    // A server that retried every accept at once would have spent about all of it.
    EXPECT_LT(ProcessorTime() - spent, 50ms);
    setrlimit(RLIMIT_NOFILE, &before);
    for (const int peer : peers) {
        close(peer);
    }
}

INSTANTIATE_TEST_SUITE_P(Attacks, BadPeerAttackTest,
                         ::testing::Values(Attack{"SlowSender", &SlowSender}, Attack{"NeverReads", &NeverReads},
                                           Attack{"ConnectionFlood", &ConnectionFlood},
                                           Attack{"DescriptorLimit", &DescriptorLimit}),
                         [](const auto& info) { return std::string(info.param.what); });

}  // namespace
}  // namespace vor::drive
