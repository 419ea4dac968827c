#pragma once

#include <atomic>
#include <string>

#include "EditorTypes.h"

class IGraphics;
class IParamSpec;
class IPlugBase;

// One element of the editor: a rectangle on the surface, optionally bound to a plug-in parameter, with
// a normalised value 0..1, a dirty flag for incremental redraw and handlers for the pointer, the wheel,
// keys and drops. Handlers run on the user-interface thread. ApplyHostValue and SetHidden may also run
// on the audio thread under the plug-in's lock: what they write (value, default, hidden and the dirty
// flags) is atomic, and they neither allocate nor draw.
class IControl {
  public:
    IControl(IPlugBase* plugin, const PixelRect& rect, int paramIndex = -1);
    virtual ~IControl() = default;
    IControl(const IControl&) = delete;
    IControl& operator=(const IControl&) = delete;

    virtual void PointerDown(int x, int y, const MouseMods& mods);
    virtual void PointerUp(int x, int y, const MouseMods& mods) { (void)x, (void)y, (void)mods; }
    virtual void FileDropped(int x, int y, const char* path) { (void)x, (void)y, (void)path; }
    virtual void PointerDrag(int x, int y, int dx, int dy, const MouseMods& mods) {
        (void)x, (void)y, (void)dx, (void)dy, (void)mods;
    }
    // Restores the first value the host pushed, once there is one.
    virtual void PointerDoubleClick(int x, int y, const MouseMods& mods);
    virtual void WheelTurned(int x, int y, const MouseMods& mods, double notches);
    virtual void KeyPressed(int x, int y, int keyCode) { (void)x, (void)y, (void)keyCode; }
    virtual void PointerHover(int x, int y, const MouseMods& mods) { (void)x, (void)y, (void)mods; }
    virtual void PointerLeft() {}
    // Draws into the surface's draw bitmap, clipped to its redraw rectangle; true when drawn.
    virtual bool Render(IGraphics& surface) = 0;
    // The parameter changed outside the editor (normalised). The first value becomes the double-click
    // default; a repeated value marks nothing.
    virtual void ApplyHostValue(double v);
    // A value typed or chosen in a popup: sent to the plug-in.
    virtual void ApplyEnteredValue(double v);
    // A popup acting for this control chose an item, or was dismissed (empty text, index -1).
    virtual void ChoiceMade(const char* text, int index) { (void)text, (void)index; }
    virtual void SetHidden(bool hide);
    // A grayed control draws at a quarter of its opacity and is never hit.
    virtual void SetGrayed(bool gray);
    // Inclusive on all four edges of the mouse area.
    virtual bool Contains(int x, int y) const;
    // Clamps the value and flags a redraw; with `push` a bound control sends its value to the plug-in.
    virtual void MarkDirty(bool push);
    virtual void MarkClean();
    virtual bool NeedsRedraw() const { return dirty_.load(std::memory_order_relaxed); }

    // Opens the surface's value box for the bound parameter, unless prompts are off.
    void PromptForValue();

    double Value() const { return value_.load(std::memory_order_relaxed); }
    void SetValue(double v) { value_.store(v, std::memory_order_relaxed); }
    double DefaultValue() const { return defaultValue_.load(std::memory_order_relaxed); }
    int ParamIndex() const { return paramIndex_; }
    bool IsBound() const { return paramIndex_ >= 0; }
    const PixelRect& Rect() const { return rect_; }
    const PixelRect& TargetRect() const { return targetRect_; }
    void SetTargetRect(const PixelRect& r) { targetRect_ = r; }
    bool IsHidden() const { return hidden_.load(std::memory_order_relaxed); }
    bool IsGrayed() const { return grayed_; }
    bool TextEntryActive() const { return textEntryActive_; }
    void SetTextEntryActive(bool active) { textEntryActive_ = active; }
    IControl* Owner() const { return owner_; }
    void SetOwner(IControl* owner) { owner_ = owner; }
    const BlendSpec& Blend() const { return blend_; }
    void SetBlend(const BlendSpec& blend) { blend_ = blend; }
    void SetPromptDisabled(bool disabled) { promptDisabled_ = disabled; }
    bool PromptDisabled() const { return promptDisabled_; }
    bool DoubleClickAsPress() const { return doubleClickAsPress_; }
    void SetDoubleClickAsPress(bool asPress) { doubleClickAsPress_ = asPress; }
    void SetClamp(double low, double high) { clampLow_ = low, clampHigh_ = high; }
    void SetRedrawNext() { redrawNext_.store(true, std::memory_order_relaxed); }
    const char* Tooltip() const { return tooltip_; }
    void SetTooltip(const char* text) { tooltip_ = text; }

    // Set by the surface when the control is added to it.
    void AttachTo(IGraphics* surface) { surface_ = surface; }
    IGraphics* Surface() const { return surface_; }
    IPlugBase* Plugin() const { return plugin_; }
    // The bound parameter, or null.
    IParamSpec* Param() const;
    // The bound parameter's display text (with its unit label after a blank when `withUnit`), plain
    // value and normalised value, read under the plug-in's lock because the audio thread writes them.
    // Empty text and 0 without a parameter.
    std::string ParamText(bool withUnit) const;
    double ParamPlain() const;
    double ParamNormalized() const;

  protected:
    // The value clamped into the control's range; anything not a number is the low end.
    double Clamped(double v) const;
    void SetRect(const PixelRect& r) { rect_ = targetRect_ = r; }

  private:
    std::atomic<double> value_{0.0};
    bool textEntryActive_ = false;
    IControl* owner_ = nullptr;
    IPlugBase* plugin_ = nullptr;
    IGraphics* surface_ = nullptr;
    PixelRect rect_;
    PixelRect targetRect_;
    int paramIndex_ = -1;
    std::atomic<double> defaultValue_{-1.0};
    double clampLow_ = 0.0;
    double clampHigh_ = 1.0;
    std::atomic<bool> dirty_{true};
    std::atomic<bool> hidden_{false};
    bool grayed_ = false;
    std::atomic<bool> redrawNext_{false};
    bool promptDisabled_ = false;
    bool doubleClickAsPress_ = false;
    BlendSpec blend_;
    const char* tooltip_ = nullptr;
};
