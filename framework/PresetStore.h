#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "Preset.h"
#include "StateChunk.h"

// The plug-in's preset slots and which one is current. Slots start unmade, named "- 1 -", "- 2 -", ...;
// made slots hold their values in the state format. Not thread-safe by itself: the plug-in's instance
// lock guards it.
class PresetStore {
  public:
    explicit PresetStore(int count);

    int Count() const { return static_cast<int>(presets_.size()); }
    // Null outside the list.
    const Preset* Get(int index) const;
    Preset* Get(int index);
    // "" outside the list.
    const char* Name(int index) const;

    // Any thread: hosts read and select the current slot from their user-interface thread while a
    // block loads one.
    int Current() const { return current_.load(); }
    // An index outside the list is ignored.
    void SetCurrent(int index);

    // Makes the first unmade slot with this name and data; false when every slot is made.
    bool AddMade(const char* name, StateChunk data);
    // Makes up to `count` unmade slots with this name and no data.
    void AddEmpty(const char* name, int count);
    // "user preset N", N one more than the slots whose name holds "user preset".
    std::string NextUserPresetName() const;

    // Each slot in order: its name, a made flag byte and, when made, its data.
    void SaveBank(StateChunk* chunk) const;

  private:
    Preset* FirstUnmade();

    std::vector<Preset> presets_;
    std::atomic<int> current_{0};
};
