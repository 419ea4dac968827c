#include "IPlugVST3.h"

// The edit-controller and unit side of IPlugVST3: parameters and their texts, the program list, and
// the gestures and restarts the plug-in reports to the host's component handler.

#include <algorithm>
#include <cstring>
#include <string>

#include "HostCallGuard.h"
#include "IPlugParameter.h"
#include "IPlugVST3View.h"
#include "PlugIds.h"
#include "Utf16Text.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

// NaN is 0; everything else clamps to [0, 1].
double ClampedNormalized(double value) {
    if (!(value >= 0.0))
        return 0.0;
    return value > 1.0 ? 1.0 : value;
}

} // namespace

void IPlugVST3::RegisterParameters() {
    if (PresetCount() > 0) {
        auto* presets =
            new StringListParameter(halvane::utf8ToUtf16("Presets").c_str(), PlugIds::kPresets, nullptr,
                                    ParameterInfo::kIsProgramChange | ParameterInfo::kIsList, kRootUnitId);
        String128 empty = {};
        for (int i = 0; i < PresetCount(); ++i)
            presets->appendString(empty);
        parameters.addParameter(presets);
    }
    for (int i = 0; i < ParamCount(); ++i) {
        IParamSpec* spec = GetParam(i);
        UnitID unit = kRootUnitId;
        if (spec->Group()[0] != '\0') {
            auto& groups = UnitNames();
            auto found = std::find_if(groups.begin(), groups.end(),
                                      [&](const char* name) { return std::string(name) == spec->Group(); });
            if (found == groups.end()) {
                groups.push_back(spec->Group());
                unit = static_cast<UnitID>(groups.size());
            } else {
                unit = static_cast<UnitID>(found - groups.begin()) + 1;
            }
        }
        parameters.addParameter(new IPlugParameter(spec, static_cast<ParamID>(i), unit));
        ParamChanged(i);
    }
}

int IPlugVST3::ProgramIndexFromNormalized(double value) const {
    return RoundHalfAwayFromZero((PresetCount() - 1) * ClampedNormalized(value));
}

double IPlugVST3::NormalizedFromProgramIndex(int index) const {
    return PresetCount() > 1 ? static_cast<double>(index) / (PresetCount() - 1) : 0.0;
}

tresult PLUGIN_API IPlugVST3::setComponentState(IBStream*) {
    return kNotImplemented;
}

tresult IPlugVST3::loadControllerState(IBStream*) {
    return GuardHostCall([&]() -> tresult {
        LockGuard guard(Lock());
        return kResultOk;
    });
}

tresult IPlugVST3::saveControllerState(IBStream*) {
    return GuardHostCall([&]() -> tresult {
        LockGuard guard(Lock());
        return kResultOk;
    });
}

tresult PLUGIN_API IPlugVST3::getParamStringByValue(ParamID id, ParamValue normalized, String128 string) {
    if (!string || id >= static_cast<ParamID>(ParamCount()))
        return kResultFalse;
    return GuardHostCall([&]() -> tresult {
        halvane::utf8ToUtf16(GetParam(static_cast<int>(id))->FormatForDisplay(normalized, true).c_str(),
                             string, 128);
        return kResultOk;
    });
}

ParamValue PLUGIN_API IPlugVST3::normalizedParamToPlain(ParamID id, ParamValue normalized) {
    // The program list converts through an int: keep what it is given inside its range.
    if (id == PlugIds::kPresets)
        normalized = ClampedNormalized(normalized);
    return GuardHostCall(0.0, [&] { return SingleComponentEffect::normalizedParamToPlain(id, normalized); });
}

ParamValue PLUGIN_API IPlugVST3::plainParamToNormalized(ParamID id, ParamValue plain) {
    if (id == PlugIds::kPresets)
        return PresetCount() > 1 ? ClampedNormalized(plain / (PresetCount() - 1)) : 0.0;
    if (id < static_cast<ParamID>(ParamCount()))
        return GetParam(static_cast<int>(id))->NormalizedFromPlain(plain);
    return plain;
}

ParamValue PLUGIN_API IPlugVST3::getParamNormalized(ParamID id) {
    if (id == PlugIds::kBypass)
        return IsBypassed() ? 1.0 : 0.0;
    if (id == PlugIds::kPresets)
        return NormalizedFromProgramIndex(CurrentPresetIndex());
    if (id < static_cast<ParamID>(ParamCount())) {
        // A block or a state load may be writing the value on another thread.
        return GuardHostCall(0.0, [&] {
            LockGuard guard(Lock());
            return GetParam(static_cast<int>(id))->NormalizedValue();
        });
    }
    return 0.0;
}

tresult PLUGIN_API IPlugVST3::setParamNormalized(ParamID id, ParamValue value) {
    if (id == PlugIds::kBypass) {
        SetBypassed(value != 0.0);
        return kResultOk;
    }
    if (id == PlugIds::kPresets) {
        SetCurrentPresetIndex(ProgramIndexFromNormalized(value));
        return kResultOk;
    }
    if (id < static_cast<ParamID>(ParamCount())) {
        return GuardHostCall([&]() -> tresult {
            // The audio thread reads the same value under the lock.
            LockGuard guard(Lock());
            GetParam(static_cast<int>(id))->SetFromNormalized(value);
            return kResultOk;
        });
    }
    return kResultFalse;
}

IPlugView* PLUGIN_API IPlugVST3::createView(FIDString name) {
    if (!name || std::strcmp(name, "editor") != 0)
        return nullptr;
    return GuardHostCall(static_cast<IPlugView*>(nullptr),
                         [&]() -> IPlugView* { return new IPlugVST3View(this); });
}

void IPlugVST3::RemoveView(IPlugVST3View* view) {
    views_.erase(std::remove(views_.begin(), views_.end(), view), views_.end());
}

tresult PLUGIN_API IPlugVST3::setKnobMode(KnobMode) {
    return kResultOk;
}

tresult PLUGIN_API IPlugVST3::openHelp(TBool) {
    return kResultFalse;
}

tresult PLUGIN_API IPlugVST3::openAboutBox(TBool) {
    return kResultFalse;
}

int32 PLUGIN_API IPlugVST3::getUnitCount() {
    return 1 + static_cast<int32>(UnitNames().size());
}

tresult PLUGIN_API IPlugVST3::getUnitInfo(int32 unitIndex, UnitInfo& info) {
    return GuardHostCall([&]() -> tresult {
        if (unitIndex == 0) {
            info.id = kRootUnitId;
            info.parentUnitId = kNoParentUnitId;
            halvane::utf8ToUtf16("Root Unit", info.name, 128);
            info.programListId = PresetCount() > 0 ? PlugIds::kFactoryPresetList : kNoProgramListId;
            return kResultOk;
        }
        if (unitIndex < 0 || unitIndex > static_cast<int32>(UnitNames().size()))
            return kResultFalse;
        info.id = unitIndex;
        info.parentUnitId = kRootUnitId;
        halvane::utf8ToUtf16(UnitNames()[static_cast<size_t>(unitIndex - 1)], info.name, 128);
        info.programListId = kNoProgramListId;
        return kResultOk;
    });
}

int32 PLUGIN_API IPlugVST3::getProgramListCount() {
    return PresetCount() > 0 ? 1 : 0;
}

tresult PLUGIN_API IPlugVST3::getProgramListInfo(int32 listIndex, ProgramListInfo& info) {
    return GuardHostCall([&]() -> tresult {
        if (listIndex != 0 || PresetCount() <= 0)
            return kResultFalse;
        info.id = PlugIds::kFactoryPresetList;
        halvane::utf8ToUtf16("Factory Presets", info.name, 128);
        info.programCount = PresetCount();
        return kResultOk;
    });
}

tresult PLUGIN_API IPlugVST3::getProgramName(ProgramListID listId, int32 programIndex, String128 name) {
    return GuardHostCall([&]() -> tresult {
        if (listId != PlugIds::kFactoryPresetList || !name)
            return kResultFalse;
        halvane::utf8ToUtf16(PresetName(programIndex), name, 128);
        return kResultOk;
    });
}

tresult PLUGIN_API IPlugVST3::getProgramInfo(ProgramListID, int32, Vst::CString, String128) {
    return kNotImplemented;
}

tresult PLUGIN_API IPlugVST3::hasProgramPitchNames(ProgramListID, int32) {
    return kNotImplemented;
}

tresult PLUGIN_API IPlugVST3::getProgramPitchName(ProgramListID, int32, int16, String128) {
    return kNotImplemented;
}

UnitID PLUGIN_API IPlugVST3::getSelectedUnit() {
    return kRootUnitId;
}

tresult PLUGIN_API IPlugVST3::selectUnit(UnitID) {
    return kNotImplemented;
}

tresult PLUGIN_API IPlugVST3::getUnitByBus(MediaType, BusDirection, int32, int32, UnitID&) {
    return kNotImplemented;
}

tresult PLUGIN_API IPlugVST3::setUnitProgramData(int32, int32, IBStream*) {
    return kNotImplemented;
}

void IPlugVST3::BeginParamEdit(int index) {
    if (componentHandler)
        componentHandler->beginEdit(static_cast<ParamID>(index));
}

void IPlugVST3::ParamEdited(int index, double normalized) {
    if (componentHandler)
        componentHandler->performEdit(static_cast<ParamID>(index), normalized);
}

void IPlugVST3::EndParamEdit(int index) {
    if (componentHandler)
        componentHandler->endEdit(static_cast<ParamID>(index));
}

void IPlugVST3::ResizeEditor(int width, int height) {
    if (Editor() && !views_.empty())
        views_.front()->RequestResize(width, height);
}

void IPlugVST3::ChangeLatency(int samples) {
    IPlugBase::ChangeLatency(samples);
    if (componentHandler)
        componentHandler->restartComponent(kLatencyChanged);
}
