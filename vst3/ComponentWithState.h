#pragma once

#include "pluginterfaces/vst/ivstcomponent.h"

namespace Steinberg {
namespace Vst {

// IComponent and IEditController declare setState/getState with one signature, yet on one object
// the component's pair carries the state and the controller's pair must not. This class takes the
// component's pair and hands it on under names of its own.
class ComponentWithState : public IComponent {
  public:
    tresult PLUGIN_API setState(IBStream* state) final { return loadComponentState(state); }
    tresult PLUGIN_API getState(IBStream* state) final { return saveComponentState(state); }

  protected:
    // The component state; kNotImplemented until a plug-in overrides them.
    virtual tresult loadComponentState(IBStream* /*state*/) { return kNotImplemented; }
    virtual tresult saveComponentState(IBStream* /*state*/) { return kNotImplemented; }
};

} // namespace Vst
} // namespace Steinberg
