#include "IControl.h"

#include "IGraphics.h"
#include "IParamSpec.h"
#include "IPlugBase.h"

IControl::IControl(IPlugBase* plugin, const PixelRect& rect, int paramIndex)
    : plugin_(plugin), rect_(rect), targetRect_(rect), paramIndex_(paramIndex < 0 ? -1 : paramIndex) {}

IParamSpec* IControl::Param() const {
    return plugin_ && paramIndex_ >= 0 ? plugin_->GetParam(paramIndex_) : nullptr;
}

std::string IControl::ParamText(bool withUnit) const {
    const IParamSpec* param = Param();
    if (!param)
        return {};
    LockGuard guard(plugin_->Lock());
    std::string text = param->FormatForDisplay(param->Value(), false);
    if (withUnit && param->Label()[0] && !text.empty())
        text = text + " " + param->Label();
    return text;
}

double IControl::ParamPlain() const {
    const IParamSpec* param = Param();
    if (!param)
        return 0.0;
    LockGuard guard(plugin_->Lock());
    return param->Value();
}

double IControl::ParamNormalized() const {
    const IParamSpec* param = Param();
    if (!param)
        return 0.0;
    LockGuard guard(plugin_->Lock());
    return param->NormalizedValue();
}

double IControl::Clamped(double v) const {
    if (!(v >= clampLow_))
        return clampLow_;
    return v > clampHigh_ ? clampHigh_ : v;
}

void IControl::PointerDown(int x, int y, const MouseMods& mods) {
    (void)x, (void)y;
    if (!surface_)
        return;
    if (mods.right) {
        if (!IsBound() || promptDisabled_)
            return;
        if (surface_->PopupDismissedByThisClick()) {
            surface_->ClearPopupState();
            return;
        }
        const IParamSpec* param = Param();
        if (param && param->DisplayTextCount() > 0 &&
            (param->Type() == kTypeEnum || param->Type() == kTypeBool))
            surface_->OpenChoicePopup(this);
        else
            PromptForValue();
    } else if (mods.left) {
        surface_->ClearPopupState();
    }
}

void IControl::PointerDoubleClick(int x, int y, const MouseMods& mods) {
    (void)x, (void)y, (void)mods;
    const double def = DefaultValue();
    if (def >= 0.0) {
        SetValue(def);
        MarkDirty(true);
    }
}

void IControl::WheelTurned(int x, int y, const MouseMods& mods, double notches) {
    (void)x, (void)y;
    const IParamSpec* param = Param();
    if (!param)
        return;
    // Kinds other than int and double step through their texts; without texts they step like an int.
    double step = 0.01;
    if (param->Type() != kTypeInt && param->Type() != kTypeDouble && param->DisplayTextCount() > 0)
        step = 0.5 / param->DisplayTextCount();
    const bool fine = plugin_->HostCode() == 2 ? mods.ctrl : (mods.ctrl || mods.shift);
    if (fine)
        step *= 0.1;
    if (!(notches == notches))
        return;
    SetValue(Value() + step * notches);
    MarkDirty(true);
}

void IControl::ApplyHostValue(double v) {
    v = v >= 0.0 ? (v > 1.0 ? 1.0 : v) : 0.0; // a host value outside [0, 1] counts as the nearer end
    if (DefaultValue() < 0.0)
        defaultValue_.store(v, std::memory_order_relaxed);
    else if (v == Value())
        return;
    SetValue(v);
    MarkDirty(false);
    redrawNext_.store(true, std::memory_order_relaxed);
}

void IControl::ApplyEnteredValue(double v) {
    if (v != Value())
        SetValue(v);
    textEntryActive_ = false;
    MarkDirty(true);
    redrawNext_.store(true, std::memory_order_relaxed);
}

void IControl::SetHidden(bool hide) {
    hidden_.store(hide, std::memory_order_relaxed);
    redrawNext_.store(true, std::memory_order_relaxed);
    MarkDirty(false);
}

void IControl::SetGrayed(bool gray) {
    grayed_ = gray;
    blend_.weight = gray ? 0.25f : 1.0f;
    MarkDirty(false);
}

bool IControl::Contains(int x, int y) const {
    return x >= targetRect_.left && x <= targetRect_.right && y >= targetRect_.top && y <= targetRect_.bottom;
}

void IControl::MarkDirty(bool push) {
    // Only an out-of-range value is rewritten, so a host value stored meanwhile by the audio thread is kept.
    double v = Value();
    const double clamped = Clamped(v);
    if (clamped != v && value_.compare_exchange_strong(v, clamped, std::memory_order_relaxed))
        v = clamped;
    dirty_.store(true, std::memory_order_relaxed);
    if (push && IsBound() && plugin_)
        plugin_->SetParamFromEditor(paramIndex_, v);
}

void IControl::MarkClean() {
    dirty_.store(redrawNext_.exchange(false, std::memory_order_relaxed), std::memory_order_relaxed);
}

void IControl::PromptForValue() {
    if (!IsBound() || promptDisabled_ || !surface_)
        return;
    surface_->PromptValue(this, Param(), true);
    redrawNext_.store(true, std::memory_order_relaxed);
}
