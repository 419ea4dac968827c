#pragma once

// The host context handed to the plug-in's initialize: IHostApplication with a name the
// caller chooses (plug-ins use it to identify their host). On Linux it can also answer for a
// run loop, as hosts do that offer it through the context instead of the view's frame.

#include "base/source/fobject.h"
#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivsthostapplication.h"

#include <string>

namespace halvane::host {

class HostApplication : public Steinberg::FObject, public Steinberg::Vst::IHostApplication {
  public:
    explicit HostApplication(std::string name);

    const std::string& name() const { return name_; }

#if SMTG_OS_LINUX
    // Borrowed (the caller keeps it alive while the plug-in may ask); null: the context has none.
    void setRunLoop(Steinberg::Linux::IRunLoop* runLoop) {
        runLoop_ = runLoop;
    }
#endif

    // The name in UTF-16, cut to fit the 128-character field.
    Steinberg::tresult PLUGIN_API getName(Steinberg::Vst::String128 name) SMTG_OVERRIDE;
    // Creates the SDK's host message and attribute list objects on request.
    Steinberg::tresult PLUGIN_API createInstance(Steinberg::TUID cid, Steinberg::TUID interfaceId,
                                                 void** obj) SMTG_OVERRIDE;

    OBJ_METHODS(HostApplication, FObject)
    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) SMTG_OVERRIDE;
    REFCOUNT_METHODS(FObject)

  private:
    std::string name_;
#if SMTG_OS_LINUX
    Steinberg::Linux::IRunLoop* runLoop_ = nullptr;
#endif
};

} // namespace halvane::host
