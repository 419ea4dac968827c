#include "IGraphics.h"

#include <cstdlib>

#include "IControl.h"
#include "IEditableTextControl.h"
#include "IParamSpec.h"
#include "IPlugBase.h"
#include "PromptPopup.h"

// ---- events ----

int IGraphics::ControlAt(int x, int y) const {
    if (captureIndex_ >= 0 && captureIndex_ < ControlCount())
        return captureIndex_;
    for (int i = ControlCount() - 1; i >= 0; --i) {
        const IControl& control = *controls_[static_cast<size_t>(i)];
        if (!control.IsHidden() && !control.IsGrayed() && control.Contains(x, y))
            return i;
    }
    return -1;
}

void IGraphics::EndUnreleasedGesture() {
    if (gesture_.param >= 0 && !gesture_.endDeferred)
        EndGesture(gesture_.param);
}

void IGraphics::RoutePointerDown(int x, int y, const MouseMods& mods) {
    DeleteRetired();
    EndUnreleasedGesture(); // a second button pressed before the first came up
    lastX_ = lastY_ = -1;
    captureIndex_ = -1;
    const int i = ControlAt(x, y);
    if (i < 0)
        return;
    IControl* control = Control(i);
    captureIndex_ = i;
    lastX_ = x;
    lastY_ = y;
    if (openPopup_ && static_cast<IControl*>(openPopup_) != control && control->Owner() != openPopup_ &&
        IndexOf(openPopup_) >= 0) {
        DismissPopup(false);
        captureIndex_ = IndexOf(control);
    }
    if (control->IsBound())
        BeginGesture(control->ParamIndex());
    control->PointerDown(x, y, mods);
}

void IGraphics::RoutePointerUp(int x, int y, const MouseMods& mods) {
    DeleteRetired();
    const bool pressed = captureIndex_ >= 0;
    const int i = ControlAt(x, y);
    lastX_ = lastY_ = -1;
    captureIndex_ = -1;
    IControl* control = Control(i);
    if (!control)
        return;
    // A release with no press before it (the one after a double click, or a press outside the editor)
    // must not send a bound control's value outside any gesture.
    if (!pressed && control->IsBound() && gesture_.param != control->ParamIndex())
        return;
    control->PointerUp(x, y, mods);
    if (control->IsBound())
        EndGesture(control->ParamIndex());
}

void IGraphics::RoutePointerDrag(int x, int y, const MouseMods& mods) {
    DeleteRetired();
    IControl* control = Control(captureIndex_);
    if (!control || (x == lastX_ && y == lastY_))
        return;
    const int dx = x - lastX_;
    const int dy = y - lastY_;
    lastX_ = x;
    lastY_ = y;
    control->PointerDrag(x, y, dx, dy, mods);
}

bool IGraphics::RouteDoubleClick(int x, int y, const MouseMods& mods) {
    DeleteRetired();
    EndUnreleasedGesture();
    lastX_ = lastY_ = -1;
    captureIndex_ = -1;
    const int i = ControlAt(x, y);
    IControl* control = Control(i);
    if (!control)
        return false;
    const int param = control->ParamIndex();
    if (!control->DoubleClickAsPress()) {
        // A whole gesture of its own: the release that follows may land anywhere.
        if (param >= 0)
            BeginGesture(param);
        control->PointerDoubleClick(x, y, mods);
        if (param >= 0)
            EndGesture(param);
        return false;
    }
    if (param >= 0)
        BeginGesture(param);
    captureIndex_ = i;
    lastX_ = x;
    lastY_ = y;
    control->PointerDown(x, y, mods);
    return true;
}

void IGraphics::RouteWheel(int x, int y, const MouseMods& mods, double notches) {
    DeleteRetired();
    IControl* control = Control(ControlAt(x, y));
    if (!control)
        return;
    const int param = control->ParamIndex();
    if (param < 0 || !plugin_) {
        control->WheelTurned(x, y, mods, notches);
        return;
    }
    // Notches in quick succession make one gesture, ended half a second after the last; a wheel turn
    // while the button holds a gesture on the same parameter belongs to that gesture.
    const bool wheelGesture = gesture_.param == param && gesture_.endDeferred;
    const bool pressGesture = gesture_.param == param && !gesture_.endDeferred;
    if (!wheelGesture && !pressGesture)
        BeginGesture(param);
    plugin_->DeferredGestureStart(param);
    control->WheelTurned(x, y, mods, notches);
    if (pressGesture)
        return;
    if (plugin_->Editor() == this) {
        gesture_.endDeferred = true;
        plugin_->EndParamEditDeferred(param);
    } else {
        EndGesture(param); // no countdown without being the plug-in's editor
    }
}

bool IGraphics::RouteHover(int x, int y, const MouseMods& mods) {
    if (!hoverEnabled_)
        return false;
    DeleteRetired();
    const int i = ControlAt(x, y);
    IControl* control = Control(i);
    if (!control)
        return true;
    lastX_ = x;
    lastY_ = y;
    control->PointerHover(x, y, mods);
    if (control->IsBound() && plugin_)
        plugin_->ParamHovered(control->ParamIndex());
    if (hoverIndex_ >= 0 && hoverIndex_ != i) {
        if (IControl* previous = Control(hoverIndex_))
            previous->PointerLeft();
    }
    hoverIndex_ = i;
    return true;
}

void IGraphics::RoutePointerLeft() {
    DeleteRetired();
    for (auto& control : controls_)
        control->PointerLeft();
    hoverIndex_ = -1;
}

void IGraphics::RouteKey(int x, int y, int key) {
    DeleteRetired();
    if (IControl* control = Control(ControlAt(x, y)))
        control->KeyPressed(x, y, key);
}

void IGraphics::RouteDrop(int x, int y, const char* path) {
    DeleteRetired();
    lastX_ = lastY_ = -1;
    captureIndex_ = -1;
    IControl* control = Control(ControlAt(x, y));
    if (!control)
        return;
    control->FileDropped(x, y, path);
    if (control->IsBound())
        EndGesture(control->ParamIndex());
}

void IGraphics::ClearPointer() {
    lastX_ = lastY_ = -1;
    captureIndex_ = -1;
    hoverIndex_ = -1;
}

// ---- gestures ----

void IGraphics::BeginGesture(int paramIndex) {
    if (!plugin_ || paramIndex < 0)
        return;
    if (gesture_.endDeferred)
        FlushDeferredGesture();
    if (gesture_.param >= 0) // a press whose release never came
        plugin_->EndParamEdit(gesture_.param);
    plugin_->BeginParamEdit(paramIndex);
    gesture_ = Gesture{paramIndex, false};
}

void IGraphics::EndGesture(int paramIndex) {
    if (!plugin_ || paramIndex < 0 || gesture_.param != paramIndex)
        return;
    if (gesture_.endDeferred) {
        FlushDeferredGesture(); // its end is already on its way
        return;
    }
    gesture_ = Gesture{};
    plugin_->EndParamEdit(paramIndex);
}

void IGraphics::FlushDeferredGesture() {
    if (plugin_)
        plugin_->FlushDeferredEndEdit();
}

void IGraphics::SetEndEditCountdown(int ticks) {
    if (ticks > 0) {
        StartEndEditCountdown(ticks);
        return;
    }
    StopEndEditCountdown();
    // The plug-in sends the deferred end now.
    if (gesture_.endDeferred)
        gesture_ = Gesture{};
}

// ---- text entry and popups ----

void IGraphics::ApplyEnteredText(IControl* control, int paramIndex, const char* text) {
    if (!text)
        text = "";
    IParamSpec* param = plugin_ && paramIndex >= 0 ? plugin_->GetParam(paramIndex) : nullptr;
    if (param) {
        double plain = 0.0;
        if (!(param->DisplayTextCount() > 0 && param->ValueForDisplayText(text, &plain))) {
            plain = std::strtod(text, nullptr);
            if (param->NegateDisplay())
                plain = -plain;
        }
        if (control && control->IsBound()) {
            BeginGesture(paramIndex);
            control->ApplyEnteredValue(param->NormalizedFromPlain(param->Clamped(plain)));
            EndGesture(paramIndex);
        }
        return;
    }
    if (auto* editable = dynamic_cast<IEditableTextControl*>(control))
        if (editable->AcceptsEdits())
            editable->SetText(text);
}

void IGraphics::OpenChoicePopup(IControl* control) {
    const IParamSpec* param = control ? control->Param() : nullptr;
    if (!param || openPopup_)
        return;
    const PixelRect& owner = control->Rect();
    auto* popup = new PromptPopup(plugin_, owner.left, owner.top, 70, 1, popupStyle_);
    AddControl(popup);
    openPopup_ = popup;
    popupDismissed_ = false;
    popup->SetHidden(true);
    for (int i = 0; i < param->DisplayTextCount(); ++i)
        popup->AddItem(param->DisplayTextAt(i).text);

    // Centred over the control, kept 6 pixels inside the editor.
    const PixelRect& r = popup->Rect();
    int tx = static_cast<int>((owner.W() - r.W()) * 0.5);
    if (r.left + tx <= 5)
        tx = 6 - r.left;
    else if (r.left + tx + r.W() > width_ - 6)
        tx = width_ - r.left - r.W() - 6;
    int ty = static_cast<int>((owner.H() - r.H()) * 0.5);
    if (r.top + ty <= 5)
        ty = 6 - r.top;
    else if (r.top + ty + r.H() > height_ - 6)
        ty = height_ - r.top - r.H() - 6;
    popup->MoveBy(tx, ty);
    popup->BindTo(control->ParamIndex(), control);
}

void IGraphics::DismissPopup(bool keepReference) {
    if (!openPopup_)
        return;
    PromptPopup* popup = openPopup_;
    if (!keepReference && popup->Owner())
        popup->Owner()->ChoiceMade("", -1);
    const int index = IndexOf(popup);
    if (index >= 0)
        retired_.push_back(TakeControl(index)); // deleted once the event that closed it is over
    openPopup_ = nullptr;
    popupDismissed_ = !keepReference;
    RedrawAll();
}
