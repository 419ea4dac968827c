#pragma once

#include "public.sdk/source/vst/vsteditcontroller.h"

namespace Steinberg {
namespace Vst {

// The edit controller's half of the setState/getState pair (see ComponentWithState.h), handed on
// under names of its own.
class ControllerWithState : public EditControllerEx1 {
  public:
    tresult PLUGIN_API setState(IBStream* state) final { return loadControllerState(state); }
    tresult PLUGIN_API getState(IBStream* state) final { return saveControllerState(state); }

  protected:
    // The controller keeps no state of its own: both answer kResultOk and move no bytes.
    virtual tresult loadControllerState(IBStream* /*state*/) { return kResultOk; }
    virtual tresult saveControllerState(IBStream* /*state*/) { return kResultOk; }
};

} // namespace Vst
} // namespace Steinberg
