// The preset store at the size of a large collection: loading 10,000 preset files, adding one
// preset with 10,000 cached, and, as the floors they are measured against, merely reading the
// 10,000 files' bytes and merely writing one preset's file the way a save does (staged, flushed
// to stable storage, renamed, folder flushed). An add's own CPU cost is its CPU time minus that
// of the file work alone.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include <benchmark/benchmark.h>
#include <fmt/format.h>

#include "core/LogLine.h"
#include "presets/PresetFiles.h"
#include "presets/PresetFolderHandle.h"
#include "presets/PresetStore.h"
#include "sim/base/Support.h"

namespace fs = std::filesystem;

namespace {

constexpr int kPresetCount = 10000;

// One folder of kPresetCount preset files, a tenth of them in sub-folders, made once per run.
class PresetCollection {
public:
    PresetCollection() {
        for (int i = 0; i < kPresetCount; ++i) {
            const std::string name = fmt::format("Preset {:05}", (i * 7919) % kPresetCount);
            const fs::path file = (i % 10 == 0 ? folder / fmt::format("group{}", i % 7) : folder) / (name + ".json");
            fs::create_directories(file.parent_path());
            std::ofstream(file) << SerializePreset(CameraPreset{name, {90.0f + i % 30, 100, -4, 270, 0.5f, 5, 1.5f}});
        }
    }
    sim::TemporaryFolder root{"vistorb-bench"};
    fs::path folder = root.Path() / "presets";
};

PresetCollection& Collection() {
    static PresetCollection collection;
    return collection;
}

void BM_LoadPresets(benchmark::State& state) {
    PresetStore store(Collection().folder);
    for (auto _ : state) {
        store.LoadPresets();
        benchmark::DoNotOptimize(store.Presets().data());
    }
    if (store.Presets().size() != kPresetCount) state.SkipWithError("not every preset loaded");
    state.SetItemsProcessed(state.iterations() * kPresetCount);
}
BENCHMARK(BM_LoadPresets)->Unit(benchmark::kMillisecond);

// The same walk and the same bytes, without parsing or sorting.
void BM_ReadFilesOnly(benchmark::State& state) {
    size_t files = 0;
    for (auto _ : state) {
        size_t bytes = 0;
        files = 0;
        for (const auto& entry : fs::recursive_directory_iterator(Collection().folder)) {
            if (!entry.is_regular_file() || entry.path().extension() != ".json") continue;
            std::ifstream in(entry.path());
            char buffer[16384];
            while (in.read(buffer, sizeof buffer) || in.gcount() > 0) bytes += static_cast<size_t>(in.gcount());
            ++files;
        }
        benchmark::DoNotOptimize(bytes);
    }
    if (files != kPresetCount) state.SkipWithError("not every file read");
    state.SetItemsProcessed(state.iterations() * kPresetCount);
}
BENCHMARK(BM_ReadFilesOnly)->Unit(benchmark::kMillisecond);

// A store holding the 10,000, and the preset the add benchmarks put among them.
const CameraPreset kAdded{"Preset 05000 copy", {110, 100, -4, 270, 0.5f, 5, 1.5f}};

// Takes the added record out of a cache again, untimed.
void TakeOutAdded(benchmark::State& state, std::vector<CameraPreset>& cache) {
    state.PauseTiming();
    cache.erase(std::lower_bound(cache.begin(), cache.end(), kAdded,
                                 [](const CameraPreset& a, const CameraPreset& b) { return a.name < b.name; }));
    state.ResumeTiming();
}

// One add into a cache of 10,000: the file written and renamed into place, the cache scanned
// for the name and the record inserted in order. The preset is deleted again, untimed.
void BM_AddPresetWith10000Cached(benchmark::State& state) {
    PresetStore store(Collection().folder);
    for (auto _ : state) {
        store.AddPreset(kAdded);
        state.PauseTiming();
        store.DeletePreset(kAdded.name);
        state.ResumeTiming();
    }
    if (store.Presets().size() != kPresetCount) state.SkipWithError("the cache changed size");
    fs::remove(Collection().folder / "Preset 05000 copy.json");
}
BENCHMARK(BM_AddPresetWith10000Cached)->Unit(benchmark::kMicrosecond);

// The in-memory part of that add: the record inserted at its place among 10,000 (and taken out
// again, untimed).
void BM_CacheInsertWith10000Cached(benchmark::State& state) {
    std::vector<CameraPreset> cache = PresetStore(Collection().folder).Presets();
    for (auto _ : state) {
        InsertByName(cache, kAdded);
        TakeOutAdded(state, cache);
    }
}
BENCHMARK(BM_CacheInsertWith10000Cached)->Unit(benchmark::kMicrosecond);

// The file work of that add alone: the document written, flushed and renamed into place.
void BM_PresetFileWorkOnly(benchmark::State& state) {
    const fs::path file = "Preset 05000 copy.json";
    const preset_files::FolderHandle folder = preset_files::FolderHandle::Open(Collection().folder);
    std::string unflushed;
    for (auto _ : state) {
        const std::string text = SerializePreset(kAdded);
        benchmark::DoNotOptimize(folder.Commit(folder.Stage(text, file), file, true, unflushed));
    }
    fs::remove(Collection().folder / file);
}
BENCHMARK(BM_PresetFileWorkOnly)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
