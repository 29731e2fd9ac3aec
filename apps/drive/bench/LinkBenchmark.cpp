// Attach and tick of the panel on a drive across the loopback link, side by side with the same
// drive in-process and with one bare libmodbus round trip to the same server. Run in release mode
// (scripts/bench.sh --link):
//   build/release/apps/drive/link_bench --benchmark_repetitions=10 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>
#include <memory>
#include <modbus/modbus.h>

#include "apps/drive/tests/ServedDrive.h"
#include "apps/host/BuiltinProfiles.h"
#include "vormotor/drivesim/ProfileLoader.h"
#include "vormotor/netdrive/NetLink.h"
#include "vormotor/netdrive/RegisterMap.h"
#include "vormotor/panel/PanelClasses.h"

namespace vor::drive {
namespace {

// One attached panel with the drive it is attached to; the link, when there is one.
struct Attached {
    std::unique_ptr<SimDrive> drive;
    std::shared_ptr<netdrive::NetLink> link;
    std::shared_ptr<UIuserControl> panel;
};

Attached AttachInProcess(int) {
    Attached attached;
    attached.drive =
        std::make_unique<SimDrive>(ProfileLoader::Parse(std::string(*host::BuiltinProfile("servo")), "servo"));
    attached.panel = CreatePanel(kMotorFormClass);
    attached.panel->AttachControl(attached.drive->Network(), attached.drive->Node(), nullptr, "VorMotorCtl", "Motor");
    return attached;
}

Attached AttachOverLink(int port) {
    netdrive::LinkOptions options;
    options.port = port;
    auto connected = netdrive::NetLink::Connect(options);
    Attached attached{std::move(connected.drive), std::move(connected.link), CreatePanel(kMotorFormClass)};
    attached.panel->AttachControl(attached.drive->Network(), attached.drive->Node(), nullptr, "VorMotorCtl", "Motor");
    return attached;
}

using Attach = Attached (*)(int);

void BM_Attach(benchmark::State& state, Attach attach) {
    ServedDrive served("servo");
    served.Start();
    for (auto _ : state) {
        auto attached = attach(served.Port());
        benchmark::DoNotOptimize(attached.panel.get());
        state.PauseTiming();
        attached = {};
        state.ResumeTiming();
    }
}

void BM_Tick(benchmark::State& state, Attach attach) {
    ServedDrive served("servo");
    served.Start();
    auto attached = attach(served.Port());
    const auto requests = attached.link ? attached.link->Requests() : 0;
    for (auto _ : state) {
        attached.drive->RaiseTimerTick();
    }
    if (attached.link) {
        state.counters["requests"] = benchmark::Counter(static_cast<double>(attached.link->Requests() - requests),
                                                        benchmark::Counter::kAvgIterations);
        if (!attached.link->IsUp()) {
            state.SkipWithError("the link went down");
        }
    }
}

// What a tick cannot go below: one request of the header and node, with nothing on top.
void BM_RoundTrip(benchmark::State& state) {
    ServedDrive served("servo");
    served.Start();
    modbus_t* context = modbus_new_tcp("127.0.0.1", served.Port());
    if (context == nullptr || modbus_connect(context) != 0) {
        state.SkipWithError("cannot connect");
    }
    std::uint16_t head[netdrive::reg::kHeadSize];
    for (auto _ : state) {
        if (modbus_read_input_registers(context, 0, netdrive::reg::kHeadSize, head) != netdrive::reg::kHeadSize) {
            state.SkipWithError("the read failed");
            break;
        }
    }
    modbus_close(context);
    modbus_free(context);
}

BENCHMARK_CAPTURE(BM_Attach, InProcess, &AttachInProcess)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Attach, Link, &AttachOverLink)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Tick, InProcess, &AttachInProcess)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Tick, Link, &AttachOverLink)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RoundTrip)->Name("BM_RoundTrip/Link")->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vor::drive

BENCHMARK_MAIN();
