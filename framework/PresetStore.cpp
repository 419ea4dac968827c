#include "PresetStore.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "IParamSpec.h"

PresetStore::PresetStore(int count) : presets_(static_cast<size_t>(std::max(count, 0))) {
    for (size_t i = 0; i < presets_.size(); ++i)
        std::snprintf(presets_[i].name, sizeof(presets_[i].name), "- %d -", static_cast<int>(i) + 1);
}

const Preset* PresetStore::Get(int index) const {
    if (index < 0 || index >= Count())
        return nullptr;
    return &presets_[static_cast<size_t>(index)];
}

Preset* PresetStore::Get(int index) {
    if (index < 0 || index >= Count())
        return nullptr;
    return &presets_[static_cast<size_t>(index)];
}

const char* PresetStore::Name(int index) const {
    const Preset* preset = Get(index);
    return preset ? preset->name : "";
}

void PresetStore::SetCurrent(int index) {
    if (index >= 0 && index < Count())
        current_ = index;
}

Preset* PresetStore::FirstUnmade() {
    auto free =
        std::find_if(presets_.begin(), presets_.end(), [](const Preset& p) { return !p.initialised; });
    return free == presets_.end() ? nullptr : &*free;
}

bool PresetStore::AddMade(const char* name, StateChunk data) {
    Preset* free = FirstUnmade();
    if (!free)
        return false;
    free->initialised = true;
    CopyText(free->name, name, sizeof(free->name));
    free->data = std::move(data);
    return true;
}

void PresetStore::AddEmpty(const char* name, int count) {
    for (int n = 0; n < count; ++n) {
        Preset* free = FirstUnmade();
        if (!free)
            return;
        free->initialised = true;
        CopyText(free->name, name ? name : "Default", sizeof(free->name));
    }
}

std::string PresetStore::NextUserPresetName() const {
    int count = 0;
    for (const Preset& p : presets_) {
        if (std::strstr(p.name, "user preset"))
            ++count;
    }
    char name[64];
    std::snprintf(name, sizeof(name), "%s %d", "user preset", count + 1);
    return name;
}

void PresetStore::SaveBank(StateChunk* chunk) const {
    for (const Preset& preset : presets_) {
        chunk->PutStr(preset.name);
        chunk->Put(static_cast<uint8_t>(preset.initialised ? 1 : 0));
        if (preset.initialised)
            chunk->PutChunk(preset.data);
    }
}
