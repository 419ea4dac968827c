#pragma once

// The test module's SingleComponentEffect: a stereo gain. Its component state is the gain
// as one 8-byte double; it names a unit after the host so tests can see the host's name.

#include "SingleComponentEffect.h"

namespace halvane::testmodule {

class TestGainEffect : public Steinberg::Vst::SingleComponentEffect {
  public:
    static Steinberg::FUnknown* create(void* context);

    Steinberg::tresult PLUGIN_API initialize(Steinberg::FUnknown* context) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API canProcessSampleSize(Steinberg::int32 symbolicSampleSize) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API process(Steinberg::Vst::ProcessData& data) SMTG_OVERRIDE;

  protected:
    Steinberg::tresult loadComponentState(Steinberg::IBStream* state) override;
    Steinberg::tresult saveComponentState(Steinberg::IBStream* state) override;

  private:
    double gain_ = 1.0;
};

} // namespace halvane::testmodule
