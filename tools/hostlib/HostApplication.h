#pragma once

// The host context handed to the plug-in's initialize: IHostApplication with a name the
// caller chooses (plug-ins use it to identify their host).

#include "base/source/fobject.h"
#include "pluginterfaces/vst/ivsthostapplication.h"

#include <string>

namespace halvane::host {

class HostApplication : public Steinberg::FObject, public Steinberg::Vst::IHostApplication {
  public:
    explicit HostApplication(std::string name);

    const std::string& name() const { return name_; }

    // The name in UTF-16, cut to fit the 128-character field.
    Steinberg::tresult PLUGIN_API getName(Steinberg::Vst::String128 name) SMTG_OVERRIDE;
    // Creates the SDK's host message and attribute list objects on request.
    Steinberg::tresult PLUGIN_API createInstance(Steinberg::TUID cid, Steinberg::TUID interfaceId,
                                                 void** obj) SMTG_OVERRIDE;

    OBJ_METHODS(HostApplication, FObject)
    DEFINE_INTERFACES
    DEF_INTERFACE(Steinberg::Vst::IHostApplication)
    END_DEFINE_INTERFACES(FObject)
    REFCOUNT_METHODS(FObject)

  private:
    std::string name_;
};

} // namespace halvane::host
