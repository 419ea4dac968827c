#pragma once

// Who the effect is, as the plug-in base and hosts see it.
namespace EffectIdentity {
constexpr const char* kChannelConfigs = "1-1 2-2";
constexpr int kPresetSlots = 150;
constexpr const char* kEffectName = "Halvane";
constexpr const char* kProductName = "";
constexpr const char* kMakerName = "Vorkesh";
constexpr int kVersion = (2 << 16) | (10 << 8) | 0; // shown as v2.10
constexpr int kUniqueId = 0x72737778;               // 'rswx'
constexpr int kMakerId = 0x56726B73;                // 'Vrks'
constexpr int kLatency = 0;
constexpr const char* kVersionString = "2.1.0";
constexpr int kSideChainChannels = 0;
constexpr const char* kDefaultPresetName = "---- default ----";
} // namespace EffectIdentity
