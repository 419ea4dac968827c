// The one class the module offers hosts.

#include "CLS_HALVANE.h"
#include "EffectIdentity.h"
#include "PlugModule.h"

// The maker's web address comes from the build (HALVANE_MAKER_URL in effect/CMakeLists.txt).
#ifndef HALVANE_MAKER_URL
#error "HALVANE_MAKER_URL is set by the build"
#endif

const PlugClassDescription& ModuleClassDescription() {
    static const PlugClassDescription description = {
        EffectIdentity::kMakerName,
        HALVANE_MAKER_URL,
        "",
        EffectIdentity::kEffectName,
        EffectIdentity::kVersionString,
        "VST 3.6.5",
        {0xF2AEE70D, 0x00DE4F4E, static_cast<std::uint32_t>(EffectIdentity::kMakerId),
         static_cast<std::uint32_t>(EffectIdentity::kUniqueId)},
    };
    return description;
}

IPlugVST3* CreatePlugInstance() {
    return new CLS_HALVANE();
}
