#pragma once
#include <filesystem>
#include <functional>
#include <utility>
#include <vector>

#include "presets/PresetStore.h"

// The one way past a store's operations, for tests and benchmarks only; nothing of it is in the
// library that ships.
struct PresetStoreTesting {
    // Records in the cache that no file holds, as a collection too large to write, or one no
    // folder could hold (two of one name, an empty name), would give; published as a change is.
    static void AddUnfiledRecords(PresetStore& store, const std::vector<CameraPreset>& records) {
        store.presets.insert(store.presets.end(), records.begin(), records.end());
        store.Publish();
    }
    static void SetUnfiledRecords(PresetStore& store, std::vector<CameraPreset> records) {
        store.presets = std::move(records);
        store.Publish();
    }

    // Run at the moments of PresetSeams.h, to stage another program's change there; empty
    // otherwise. Only programs linked with vistorb_presets_seamed have them.
    using Action = std::function<void(const std::filesystem::path&)>;
    static Action beforeOpen;
    static Action beforeRemove;
    static Action beforeCommit;

    // Sets one of them for as long as it lives, so that a test that stops early leaves none set.
    class ScopedMoment {
    public:
        ScopedMoment(Action& moment, Action action) : moment(moment) { moment = std::move(action); }
        ~ScopedMoment() { moment = nullptr; }
        ScopedMoment(const ScopedMoment&) = delete;
        ScopedMoment& operator=(const ScopedMoment&) = delete;

    private:
        Action& moment;
    };
};
