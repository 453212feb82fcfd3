#pragma once
// The override table and the focus, shared by the game thread and the render thread, and the
// mutex that guards both. Every access outside tests goes through this view, so the lock is taken
// in one place: each operation copies out what its caller needs and lets go before returning,
// and the caller talks to the host, the disk or the console after that. The view only holds
// references to the plugin's members, so it is passed by value.
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

#include "camera/CameraOverride.h"

// One override per player, keyed by focus id.
using CameraOverrideTable = std::map<std::string, CameraOverride>;

class SharedCameraState {
public:
    SharedCameraState(CameraOverrideTable& table, std::string& focusedId, std::mutex& lock)
        : table_(table), focusedId_(focusedId), lock_(lock) {}

    // Both at one moment, for whoever reports on them.
    struct Snapshot {
        CameraOverrideTable table;
        std::string focusedId;
    };
    Snapshot Copy() const {
        std::lock_guard<std::mutex> guard(lock_);
        return Snapshot{table_, focusedId_};
    }

    // The entry of `focusId`, whatever the recorded focus is: the tick asks the camera itself.
    std::optional<CameraOverride> Find(const std::string& focusId) const {
        std::lock_guard<std::mutex> guard(lock_);
        auto found = table_.find(focusId);
        if (found == table_.end()) return std::nullopt;
        return found->second;
    }

    bool HasFocusedEntry() const {
        std::lock_guard<std::mutex> guard(lock_);
        return table_.count(focusedId_) != 0;
    }

    void SetFocus(std::string focusId) {
        std::lock_guard<std::mutex> guard(lock_);
        focusedId_ = std::move(focusId);
    }

    // Swaps `table` in whole, so no one sees it half built, and hands the old one back: it is
    // destroyed by the caller, after the lock is let go.
    CameraOverrideTable Replace(CameraOverrideTable table) {
        std::lock_guard<std::mutex> guard(lock_);
        table_.swap(table);
        return table;
    }

    // Runs `edit(entry)` on the focused player's entry, under the lock. `edit` returns whether it
    // changed the entry; a changed entry comes back as a copy, for the caller to hand on once the
    // lock is let go. Nothing comes back when no entry is focused.
    template <class Edit>
    std::optional<CameraOverride> EditFocused(Edit&& edit) {
        std::lock_guard<std::mutex> guard(lock_);
        auto found = table_.find(focusedId_);
        if (found == table_.end() || !edit(found->second)) return std::nullopt;
        return found->second;
    }

    // The followed player's entry, copied; nothing when the focus names no entry.
    std::optional<CameraOverride> FindFocused() const {
        std::lock_guard<std::mutex> guard(lock_);
        auto found = table_.find(focusedId_);
        if (found == table_.end()) return std::nullopt;
        return found->second;
    }

    bool Empty() const {
        std::lock_guard<std::mutex> guard(lock_);
        return table_.empty();
    }

    // Runs `edit(entry)` on every entry, in key order, under the lock, and hands back a copy of
    // the followed player's entry as edited (nothing when no entry is followed), for the caller
    // to write into the camera once the lock is let go. `edit` only edits and takes notes.
    template <class Edit>
    std::optional<CameraOverride> EditAll(Edit&& edit) {
        std::lock_guard<std::mutex> guard(lock_);
        for (auto& entry : table_) edit(entry.second);
        auto found = table_.find(focusedId_);
        if (found == table_.end()) return std::nullopt;
        return found->second;
    }

    // The GUI frame draws the tabs straight from the table and edits it in place, so the table is
    // lent to `walk(table, focusedId)` with the lock held. `walk` draws and records what is to be
    // done; it makes no host call, writes no file and logs nothing.
    template <class Walk>
    void LendForFrame(Walk&& walk) {
        std::lock_guard<std::mutex> guard(lock_);
        walk(table_, focusedId_);
    }

private:
    CameraOverrideTable& table_;
    std::string& focusedId_;
    std::mutex& lock_;
};
