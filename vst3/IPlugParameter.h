#pragma once

#include "IParamSpec.h"
#include "public.sdk/source/vst/vstparameters.h"

// One plug-in parameter as the host sees it: id = index, texts and conversions from its IParamSpec.
// Controller thread; reads its parameter without the instance lock, as hosts only ask for texts here.
class IPlugParameter : public Steinberg::Vst::Parameter {
  public:
    IPlugParameter(IParamSpec* spec, Steinberg::Vst::ParamID id, Steinberg::Vst::UnitID unitId);

    void toString(Steinberg::Vst::ParamValue normalized,
                  Steinberg::Vst::String128 string) const SMTG_OVERRIDE;
    // Reads the leading number of the text (0 when there is none); display texts are not consulted.
    bool fromString(const Steinberg::Vst::TChar* string,
                    Steinberg::Vst::ParamValue& normalized) const SMTG_OVERRIDE;
    Steinberg::Vst::ParamValue toPlain(Steinberg::Vst::ParamValue normalized) const SMTG_OVERRIDE;
    Steinberg::Vst::ParamValue toNormalized(Steinberg::Vst::ParamValue plain) const SMTG_OVERRIDE;

    OBJ_METHODS(IPlugParameter, Parameter)

  private:
    IParamSpec* spec_;
};
