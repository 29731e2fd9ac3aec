// Save and load of key trees through CRegistry, in keys per second, on the portable store kept in
// a file (durable, as used) and in memory (the store's own cost without the disk).
#include <benchmark/benchmark.h>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

#include "vormotor/registry/CRegistry.h"
#include "vormotor/registry/bench/BenchTree.h"
#include "vormotor/regstore/RegStore.h"

namespace vor::registry_bench {
namespace {

const std::string Root = "Software\\VorMotorBench";

class StoreFile {
public:
    StoreFile()
        : m_path(std::filesystem::temp_directory_path() /
                 ("vormotor-bench-" + std::to_string(getpid()) + "-" + std::to_string(++s_count))) {
        Remove();
    }
    ~StoreFile() { Remove(); }
    std::string Path() const { return m_path.string(); }

private:
    void Remove() {
        for (const char* suffix : {"", "-wal", "-shm"}) {
            std::filesystem::remove(m_path.string() + suffix);
        }
    }
    static inline int s_count = 0;
    std::filesystem::path m_path;
};

std::shared_ptr<RegistryApi> NewStore(bool onDisk, StoreFile& file) {
    return std::make_shared<store::RegStore>(onDisk ? file.Path() : store::RegStore::InMemory);
}

void SetRates(benchmark::State& state, int keys) {
    state.counters["keys/s"] = benchmark::Counter(keys, benchmark::Counter::kIsIterationInvariantRate);
    state.SetComplexityN(keys);
}

void Save(benchmark::State& state, bool onDisk) {
    const int keys = static_cast<int>(state.range(0));
    StoreFile file;
    auto store = NewStore(onDisk, file);
    CRegistry(store).LoadRegistry(TreeImage(Root, keys));
    CRegistry registry(store);
    std::string path = Root;
    registry.OpenKey(reg::CurrentUser, path);
    for (auto _ : state) {
        benchmark::DoNotOptimize(registry.SaveRegistry());
    }
    SetRates(state, keys);
}

void Load(benchmark::State& state, bool onDisk) {
    const int keys = static_cast<int>(state.range(0));
    const std::string image = TreeImage(Root, keys);
    for (auto _ : state) {
        state.PauseTiming();
        auto file = std::make_unique<StoreFile>();
        auto store = NewStore(onDisk, *file);
        state.ResumeTiming();
        CRegistry(store).LoadRegistry(image);
        state.PauseTiming();
        store.reset();
        file.reset();
        state.ResumeTiming();
    }
    SetRates(state, keys);
}

// One WriteValue on a key of n values of 2 KB each, on a store file: what a write costs as its key grows.
void WriteValue(benchmark::State& state) {
    const auto values = static_cast<int>(state.range(0));
    constexpr std::size_t ValueSize = 2000;
    StoreFile file;
    auto store = NewStore(true, file);
    CRegistry registry(store);
    std::string path = Root;
    registry.OpenKey(reg::CurrentUser, path, true);
    {
        RegistryApi::Batch batch(*store);
        for (int i = 0; i < values; ++i) {
            registry.WriteValue("Value " + std::to_string(i), std::string(ValueSize, 'v'));
        }
    }
    // Its size changes from write to write, as a value's size does when it is edited.
    std::string data(ValueSize, 'w');
    for (auto _ : state) {
        data.resize(data.size() == ValueSize ? ValueSize + 1 : ValueSize, 'w');
        registry.WriteValue("Value 0", data);
    }
}

// 100 is the smoke size CTest runs; 1,000 to 16,000 show the growth (the cost per key stays flat).
void Sizes(benchmark::internal::Benchmark* benchmark) {
    benchmark->Arg(100)
        ->Arg(1000)
        ->Arg(2000)
        ->Arg(4000)
        ->Arg(8000)
        ->Arg(16000)
        ->Complexity(benchmark::oN)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
}

BENCHMARK_CAPTURE(Save, file, true)->Apply(Sizes);
BENCHMARK_CAPTURE(Load, file, true)->Apply(Sizes);
BENCHMARK_CAPTURE(Save, memory, false)->Apply(Sizes);
BENCHMARK_CAPTURE(Load, memory, false)->Apply(Sizes);
BENCHMARK(WriteValue)->Arg(1)->Arg(5000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace vor::registry_bench

BENCHMARK_MAIN();
