#include "IPlugParameter.h"

#include <cstdlib>
#include <string>

#include "Utf16Text.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

IPlugParameter::IPlugParameter(IParamSpec* spec, ParamID id, UnitID unitId) : spec_(spec) {
    info.id = id;
    halvane::utf8ToUtf16(spec->Name(), info.title, 128);
    info.shortTitle[0] = 0;
    halvane::utf8ToUtf16(spec->Label(), info.units, 128);
    info.stepCount = spec->Type() == kTypeDouble ? 0 : static_cast<int32>(spec->Max() - spec->Min());
    info.defaultNormalizedValue = spec->NormalizedFromPlain(spec->Default());
    info.unitId = unitId;
    info.flags = spec->CanAutomate() ? ParameterInfo::kCanAutomate : 0;
    valueNormalized = info.defaultNormalizedValue;
    precision = spec->DisplayPrecision();
}

void IPlugParameter::toString(ParamValue normalized, String128 string) const {
    if (!string)
        return;
    halvane::utf8ToUtf16(spec_->FormatForDisplay(normalized, true).c_str(), string, 128);
}

bool IPlugParameter::fromString(const TChar* string, ParamValue& normalized) const {
    std::string text = string ? halvane::utf16ToUtf8(string, 128) : std::string();
    normalized = spec_->NormalizedFromPlain(std::strtod(text.c_str(), nullptr));
    return true;
}

ParamValue IPlugParameter::toPlain(ParamValue normalized) const {
    return spec_->PlainFromNormalized(normalized);
}

ParamValue IPlugParameter::toNormalized(ParamValue plain) const {
    return spec_->NormalizedFromPlain(plain);
}
