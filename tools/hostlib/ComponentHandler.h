#pragma once

// IComponentHandler that records what the plug-in tells its host: begin/perform/end of
// parameter edits and restartComponent flags, in call order. Safe to call from any thread.

#include "base/source/fobject.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <mutex>
#include <vector>

namespace halvane::host {

struct EditEvent {
    enum class Kind { Begin, Perform, End };
    Kind kind;
    Steinberg::Vst::ParamID id;
    Steinberg::Vst::ParamValue value; // performEdit only; 0 otherwise
};

class ComponentHandler : public Steinberg::FObject, public Steinberg::Vst::IComponentHandler {
  public:
    std::vector<EditEvent> edits() const;
    std::vector<Steinberg::int32> restarts() const;
    void clear();

    Steinberg::tresult PLUGIN_API beginEdit(Steinberg::Vst::ParamID id) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API performEdit(Steinberg::Vst::ParamID id,
                                              Steinberg::Vst::ParamValue valueNormalized) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API endEdit(Steinberg::Vst::ParamID id) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API restartComponent(Steinberg::int32 flags) SMTG_OVERRIDE;

    OBJ_METHODS(ComponentHandler, FObject)
    DEFINE_INTERFACES
    DEF_INTERFACE(Steinberg::Vst::IComponentHandler)
    END_DEFINE_INTERFACES(FObject)
    REFCOUNT_METHODS(FObject)

  private:
    Steinberg::tresult record(EditEvent event);

    mutable std::mutex mutex_;
    std::vector<EditEvent> edits_;
    std::vector<Steinberg::int32> restarts_;
};

} // namespace halvane::host
