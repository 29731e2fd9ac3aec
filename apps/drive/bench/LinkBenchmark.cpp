// Attach and tick of the panel on a drive across the loopback link, each beside its floor: bare
// libmodbus round trips to the same server, as many and as large as the link's own, recorded from
// the link as it attached and ticked. Run in release mode (scripts/bench.sh --link-only):
//   build/release/apps/drive/link_bench --benchmark_repetitions=10
#include <benchmark/benchmark.h>
#include <memory>
#include <modbus/modbus.h>
#include <vector>

#include "apps/drive/tests/ServedDrive.h"
#include "vormotor/editors/EditorClasses.h"
#include "vormotor/netdrive/NetLink.h"
#include "vormotor/panel/PanelClasses.h"

namespace vor::drive {
namespace {

// One read request: its first register and how many.
struct Read {
    int address;
    int count;
};

// The reads being recorded, if any.
std::vector<Read>* g_reads = nullptr;

}  // namespace
}  // namespace vor::drive

// The program is linked with --wrap=modbus_read_input_registers: every read, the link's and the
// floors' alike, passes here, so the floors can ask for exactly what the link asked for.
extern "C" int __real_modbus_read_input_registers(modbus_t* context, int address, int count, std::uint16_t* to);
extern "C" int __wrap_modbus_read_input_registers(modbus_t* context, int address, int count, std::uint16_t* to) {
    if (vor::drive::g_reads != nullptr) {
        vor::drive::g_reads->push_back({address, count});
    }
    return __real_modbus_read_input_registers(context, address, count, to);
}

namespace vor::drive {
namespace {

// One attached panel with the drive copy it is attached to and the link behind it.
struct Attached {
    std::unique_ptr<model::DriveModel> drive;
    std::shared_ptr<netdrive::NetLink> link;
    std::shared_ptr<UIuserControl> panel;
};

// The benchmark hosts the panel, so it registers the editor classes.
std::shared_ptr<UIuserControl> NewPanel() {
    editors::EditorClasses::Register();
    return CreatePanel(kMotorFormClass);
}

Attached AttachOverLink(int port) {
    netdrive::LinkOptions options;
    options.port = port;
    auto connected = netdrive::NetLink::Connect(options);
    Attached attached{std::move(connected.drive), std::move(connected.link), NewPanel()};
    attached.panel->AttachControl(attached.drive->Network(), attached.drive->Node(), nullptr, "VorMotorCtl", "Motor");
    return attached;
}

template <class Path>
std::vector<Read> RecordReads(Path&& path) {
    std::vector<Read> reads;
    g_reads = &reads;
    path();
    g_reads = nullptr;
    return reads;
}

// A bare libmodbus connection to the server.
class BareClient {
public:
    explicit BareClient(int port) : m_context(modbus_new_tcp("127.0.0.1", port)) {
        if (m_context != nullptr && modbus_connect(m_context) != 0) {
            modbus_free(m_context);
            m_context = nullptr;
        }
    }
    ~BareClient() {
        if (m_context != nullptr) {
            modbus_close(m_context);
            modbus_free(m_context);
        }
    }
    BareClient(const BareClient&) = delete;
    BareClient& operator=(const BareClient&) = delete;

    bool Connected() const noexcept { return m_context != nullptr; }
    bool ReadAll(const std::vector<Read>& reads) {
        std::uint16_t registers[MODBUS_MAX_READ_REGISTERS];
        for (const Read& read : reads) {
            if (modbus_read_input_registers(m_context, read.address, read.count, registers) != read.count) {
                return false;
            }
        }
        return true;
    }

private:
    modbus_t* m_context;
};

void BM_Attach(benchmark::State& state) {
    ServedDrive served("servo");
    served.Start();
    for (auto _ : state) {
        auto attached = AttachOverLink(served.Port());
        benchmark::DoNotOptimize(attached.panel.get());
        state.PauseTiming();
        attached = {};
        state.ResumeTiming();
    }
}

// A connection, and the reads an attach makes, bare.
void BM_AttachFloor(benchmark::State& state) {
    ServedDrive served("servo");
    served.Start();
    const auto reads = RecordReads([&] { AttachOverLink(served.Port()); });
    for (auto _ : state) {
        auto client = std::make_unique<BareClient>(served.Port());
        if (!client->Connected() || !client->ReadAll(reads)) {
            state.SkipWithError("a bare read failed");
            break;
        }
        state.PauseTiming();
        client.reset();
        state.ResumeTiming();
    }
    state.counters["requests"] = static_cast<double>(reads.size());
}

void BM_Tick(benchmark::State& state) {
    ServedDrive served("servo");
    served.Start();
    auto attached = AttachOverLink(served.Port());
    const auto requests = attached.link->Requests();
    for (auto _ : state) {
        attached.drive->RaiseTimerTick();
    }
    state.counters["requests"] = benchmark::Counter(static_cast<double>(attached.link->Requests() - requests),
                                                    benchmark::Counter::kAvgIterations);
    if (!attached.link->IsUp()) {
        state.SkipWithError("the link went down");
    }
}

// The reads an idle tick makes, bare, on a connection of their own.
void BM_TickFloor(benchmark::State& state) {
    ServedDrive served("servo");
    served.Start();
    auto attached = AttachOverLink(served.Port());
    const auto reads = RecordReads([&] { attached.drive->RaiseTimerTick(); });
    BareClient client(served.Port());
    if (!client.Connected()) {
        state.SkipWithError("cannot connect");
        return;
    }
    for (auto _ : state) {
        if (!client.ReadAll(reads)) {
            state.SkipWithError("a bare read failed");
            break;
        }
    }
    state.counters["requests"] = static_cast<double>(reads.size());
}

BENCHMARK(BM_Attach)->Name("Attach/Link")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AttachFloor)->Name("AttachFloor/Link")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Tick)->Name("Tick/Link")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TickFloor)->Name("TickFloor/Link")->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vor::drive

BENCHMARK_MAIN();
