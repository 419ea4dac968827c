#pragma once

#include <memory>
#include <string>
#include <vector>

#include "EditorTypes.h"
#include "IEditorSurface.h"
#include "RecursiveLock.h"

class IControl;
class IEditableTextControl;
class IEditorRunLoop;
class IParamSpec;
class IPlugBase;
class LICE_IBitmap;
class LICE_MemBitmap;
class LICE_SysBitmap;
class PromptPopup;

// How choice popups look.
struct PopupStyle {
    TextStyle text;
    ArgbColor background;
    ArgbColor highlight;
};

// The editor's drawing surface and event router. It owns the ordered control list (index 0 is the
// background; later controls draw on top and are hit first), an off-screen draw bitmap of the editor's
// size and the mouse state. It turns pointer, wheel and key events into calls on controls, control edits
// into parameter changes wrapped in the host's gestures, host values into control values, and redraws
// only what is dirty. The platform's window, timer and prompts are its abstract operations.
//
// User-interface thread, except ShowParamValue and HideParamControls, which the audio thread may call
// under the plug-in's lock: they only store values and flags. Changes to the control list are made
// under the plug-in's lock so those calls never see it half changed.
class IGraphics : public IEditorSurface {
  public:
    IGraphics(IPlugBase* plugin, int width, int height, int frameRate);
    ~IGraphics() override;
    IGraphics(const IGraphics&) = delete;
    IGraphics& operator=(const IGraphics&) = delete;

    // ---- the platform's part ----
    // What a window adds. All on the user-interface thread. Without a window each answers as a surface
    // that has none: nothing opens or shows, folders and paths are empty, nothing is picked.
    // Copies `rect` of the draw bitmap to the window. Never blocks; without a window copies nothing.
    virtual bool PresentRect(const PixelRect& rect) = 0;
    // New size: every control is deleted and the plug-in asked to resize; it must add controls again.
    // Never blocks; the window follows when there is one.
    virtual void ResizeSurface(int width, int height);
    // Never blocks.
    bool IsWindowOpen() override { return NativeWindow() != nullptr; }
    // Opens a text box over the control; returns at once (the box commits on a later tick).
    virtual void PromptText(IEditableTextControl* control) { (void)control; }
    // Opens a value box or list for the parameter; returns at once. Without a window: nothing.
    virtual void PromptValue(IControl* control, IParamSpec* param, bool compact) {
        (void)control, (void)param, (void)compact;
    }
    // The host program's / the module's folder with its trailing separator. Never blocks; empty: false.
    virtual bool HostFolder(std::string* folder);
    virtual bool ModuleFolder(std::string* folder);
    // A file dialog: blocks until the user answers. Without a window the path is emptied.
    virtual bool ChooseFile(std::string* path, bool forSave, const char* folder, const char* extensions);
    // A colour dialog: blocks until the user answers. Without a window false, colour unchanged.
    virtual bool PickColor(ArgbColor* color, const char* title);
    // Opens the address in the browser; may block on a message box. Without a window false.
    virtual bool OpenWebPage(const char* url, const char* title, const char* confirmText,
                             const char* failText);
    // A wheel turn the host forwards; true when it was for this window. Never blocks.
    virtual bool WheelFromHost(double delta) {
        (void)delta;
        return false;
    }
    virtual bool ReservedQuery() { return false; }
    // Creates the window in `parent` (re-created in place when open); null when none could be made.
    virtual void* OpenInParent(void* parent) {
        (void)parent;
        return nullptr;
    }
    virtual void* NativeWindow() { return nullptr; }
    virtual void HideTipIfDisabled() {}
    // Image resource `id` of the module as a new bitmap (the caller owns it), or null. Any thread
    // holding the image cache's lock.
    virtual LICE_IBitmap* LoadImageResource(int id, const char* name);
    // The host parent type this surface's window lives in ("HWND", ...); null for none.
    virtual const char* WindowType() const { return nullptr; }

    // ---- what every platform shares ----
    // One tick of the window's timer: the platform's step before the redraw (a text entry's state),
    // what is dirty drawn and shown, then the deferred end of a gesture counted down and sent at zero.
    void Tick();
    // Timer period in milliseconds: 1000 / frame rate, truncated.
    int TimerPeriodMs() const { return static_cast<int>(1000.0 / frameRate_); }
    void StartEndEditCountdown(int ticks) { endEditTicks_ = ticks > 0 ? ticks : 0; }
    void StopEndEditCountdown() { endEditTicks_ = 0; }
    int Countdown() const { return endEditTicks_; }
    // Sends a pending end of gesture, then closes the window; nothing without one.
    void CloseSurfaceWindow();
    // The module whose resources hold the images (null: the program itself).
    void SetModule(void* module) { module_ = module; }
    void* Module() const { return module_; }

    // ---- what the plug-in base asks of its editor ----
    void SetParameterFromPlug(int paramIndex, double value, bool normalized) override {
        ShowParamValue(paramIndex, value, normalized);
    }
    void PrepareDraw() override { CreateDrawBitmaps(); }
    int FrameRate() const override { return frameRate_; }
    void SetEndEditCountdown(int ticks) override;
    void HideParamControls(int paramIndex, bool hide) override;
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    bool SupportsWindowType(const char* type) const override;
    bool OpenWindow(void* parent, const char* type, IEditorRunLoop* runLoop) override;
    void CloseWindow() override { CloseSurfaceWindow(); }
    // Without a text entry of the platform's own, no key is taken.
    bool KeyToEntry(EntryKey key, char16_t character, bool down) override {
        (void)key, (void)character, (void)down;
        return false;
    }

    // ---- controls ----
    // Takes ownership; returns the new index. A null control is not added (-1).
    int AddControl(IControl* control);
    // Image `id` as control 0 over its whole size, drawn by plain copy.
    int AddBackground(int id, const char* name);
    // Takes the control out of the list without deleting it.
    void RemoveControl(IControl* control);
    int ControlCount() const { return static_cast<int>(controls_.size()); }
    IControl* Control(int index) const;
    // A host value for the controls bound to `paramIndex` (plain values are normalised first).
    void ShowParamValue(int paramIndex, double value, bool normalized);
    void RedrawAll();
    void CreateDrawBitmaps();

    // ---- images ----
    // The cached bitmap for resource `id` (loaded on a miss) as a strip of `frames` frames.
    void LoadStrip(ImageStrip* strip, int id, const char* name, int frames);
    // Cuts `strip` at width x fraction: the left part is cached under a new negative id and returned
    // in `left`; `strip` becomes the right part (owned by the surface) with partId naming the left one.
    void SplitStrip(ImageStrip* left, ImageStrip* strip, double fraction);
    void CachedStrip(ImageStrip* strip, int id);

    // ---- drawing into the draw bitmap ----
    void BlitStrip(const ImageStrip& strip, const PixelRect& dest, int srcX, int srcY,
                   const BlendSpec* blend = nullptr);
    // `frame` counts from 1.
    void BlitFrame(const ImageStrip& strip, const PixelRect& dest, int frame, const BlendSpec* blend,
                   bool vertical);
    void BlitRotated(const ImageStrip& strip, int centreX, int centreY, double angle, const BlendSpec* blend,
                     double shiftX, double shiftY);
    void StrokeLine(const ArgbColor& color, float x1, float y1, float x2, float y2,
                    const BlendSpec* blend = nullptr, bool antialiased = false);
    void FillBox(const ArgbColor& color, const PixelRect& rect, const BlendSpec* blend = nullptr);
    void OutlineRounded(const ArgbColor& color, const PixelRect& rect, int radius,
                        const BlendSpec* blend = nullptr, bool antialiased = false);
    // `corners`: 4 all, 2 the top two, -2 the bottom two.
    void FillRounded(const ArgbColor& color, const PixelRect& rect, int radius, int corners,
                     const BlendSpec* blend = nullptr, bool antialiased = false);
    void FillDisc(const ArgbColor& color, float centreX, float centreY, float radius,
                  const BlendSpec* blend = nullptr, bool antialiased = false);
    // False only when no font could be made for the style.
    bool DrawLabel(TextStyle* style, const char* text, const PixelRect& rect);
    // The style's font from the module's font cache, made on first use; null when none can be made.
    LICE_CachedFont* FontFor(TextStyle* style);

    // ---- events, in editor coordinates ----
    void RoutePointerDown(int x, int y, const MouseMods& mods);
    void RoutePointerUp(int x, int y, const MouseMods& mods);
    void RoutePointerDrag(int x, int y, const MouseMods& mods);
    // True when the control takes the double click as a press (the window then captures the mouse).
    bool RouteDoubleClick(int x, int y, const MouseMods& mods);
    void RouteWheel(int x, int y, const MouseMods& mods, double notches);
    bool RouteHover(int x, int y, const MouseMods& mods);
    void RoutePointerLeft();
    void RouteKey(int x, int y, int key);
    void RouteDrop(int x, int y, const char* path);
    // The topmost control at (x, y) that is neither hidden nor grayed, or the captured one; -1 none.
    int ControlAt(int x, int y) const;

    // ---- drawing ----
    // The union of every dirty control's rectangle; false when nothing is dirty.
    bool CollectDirty(PixelRect* rect);
    bool RenderRect(const PixelRect& rect);

    // ---- text entry and popups ----
    void ApplyEnteredText(IControl* control, int paramIndex, const char* text);
    void OpenChoicePopup(IControl* control);
    // Closes the open popup. Without `keepReference` its owner is told it was dismissed and the next
    // right click opens nothing.
    void DismissPopup(bool keepReference);
    PromptPopup* OpenPopup() const { return openPopup_; }
    bool PopupDismissedByThisClick() const { return popupDismissed_; }
    void ClearPopupState() { popupDismissed_ = false; }
    const PopupStyle& GetPopupStyle() const { return popupStyle_; }

    // ---- gestures: begin and end reach the host exactly once each ----
    void BeginGesture(int paramIndex);
    void EndGesture(int paramIndex);
    // A press holds a gesture whose release has not come yet.
    bool HoldsPressGesture() const { return gesture_.param >= 0 && !gesture_.endDeferred; }

    // ---- state ----
    IPlugBase* Plugin() const { return plugin_; }
    LICE_SysBitmap* DrawBitmap() const { return drawBitmap_.get(); }
    const PixelRect& DrawRect() const { return drawRect_; }
    bool HoverEnabled() const { return hoverEnabled_; }
    void EnableHover(bool on) { hoverEnabled_ = on; }
    int HoverIndex() const { return hoverIndex_; }
    int CaptureIndex() const { return captureIndex_; }
    // Forgets the pointer: position, capture and hover (a popup that closes under the pointer).
    void ClearPointer();
    void SetStrictDrawing(bool strict) { strictDrawing_ = strict; }
    void SetShowControlBounds(bool show) { showControlBounds_ = show; }
    bool TooltipsEnabled() const { return tooltipsEnabled_; }
    void EnableTooltips(bool on) { tooltipsEnabled_ = on; }
    bool AcceptsFileDrops() const { return acceptFileDrops_; }
    void AcceptFileDrops(bool on) { acceptFileDrops_ = on; }
    bool RedrawsOnTimer() const { return redrawOnTimer_; }
    void RedrawOnTimer(bool on) { redrawOnTimer_ = on; }
    RecursiveLock& SurfaceLock() { return lock_; }

    // Sends the deferred end of gesture now (its countdown ran out, or another gesture starts).
    void FlushDeferredGesture();

  protected:
    // How a dirty rectangle reaches the screen on a tick (window-less: drawn into the draw bitmap at once).
    virtual void ShowDirty(const PixelRect& rect) { RenderRect(rect); }
    // Destroys the window and what belongs to it; called by CloseSurfaceWindow with a window open.
    virtual void DestroySurfaceWindow() {}
    // The run loop the host gave with the window, or null.
    IEditorRunLoop* RunLoop() const { return runLoop_; }

    // ---- a platform's text entry (value box, list or text box) ----
    // Its states: idle, typing, cancel asked, commit asked. A commit or cancel is carried out on the next
    // tick, before the redraw, so what the entry applies is drawn in the same tick.
    enum EntryState { kEntryIdle = 0, kEntryTyping = 1, kEntryCancel = 2, kEntryCommit = 3 };
    // The platform opened an entry for `control` (`param` -1: a plain text entry).
    void EntryOpened(IControl* control, int param);
    bool EntryOpen() const { return entry_.control != nullptr; }
    int EntryParam() const { return entry_.param; }
    void SetEntryState(int state) { entry_.state = state; }
    // A press while an entry is open: a right one cancels it and is used up (true); a left one commits
    // it and goes on to the control under the pointer (false). No entry: false.
    bool PressWithEntryOpen(bool right);
    // Closes the entry: its control loses the text-entry flag and is redrawn; the platform's part goes.
    void CloseEntry();
    // The platform's side: the entry's text, and closing what shows it.
    virtual std::string EntryText() { return std::string(); }
    virtual void CloseEntryView() {}

  private:
    // The tick's first step: an entry's commit or cancel carried out.
    void StepEntry();
    void DrawControlBounds();
    // Ends the gesture of a press whose release never came (the capture moves on without it).
    void EndUnreleasedGesture();
    // Deletes controls taken out of the list during an event, once the event is over.
    void DeleteRetired();
    // Takes control `index` out of the list (under the plug-in's lock) and keeps the pointer's indices on
    // the controls they named.
    std::unique_ptr<IControl> TakeControl(int index);
    int IndexOf(const IControl* control) const;

    RecursiveLock lock_;
    PopupStyle popupStyle_;
    bool hoverEnabled_ = false;
    int hoverIndex_ = -1;
    PromptPopup* openPopup_ = nullptr;
    bool popupDismissed_ = false;
    std::vector<std::unique_ptr<IControl>> controls_;
    std::vector<std::unique_ptr<IControl>> retired_;
    IPlugBase* plugin_ = nullptr;
    PixelRect drawRect_;
    std::unique_ptr<LICE_SysBitmap> drawBitmap_;
    std::vector<std::unique_ptr<LICE_MemBitmap>> ownedParts_; // right parts of split images
    int width_ = 0;
    int height_ = 0;
    int frameRate_ = 24;
    int nextImageId_ = -1;
    int captureIndex_ = -1;
    int lastX_ = -1;
    int lastY_ = -1;
    // The one gesture whose begin has reached the host without its end; a wheel's end waits for the
    // countdown (endDeferred).
    struct Gesture {
        int param = -1;
        bool endDeferred = false;
    } gesture_;
    int endEditTicks_ = 0;
    void* module_ = nullptr;
    IEditorRunLoop* runLoop_ = nullptr;
    // The platform's open text entry: its control, parameter (-1: a plain text entry) and state.
    struct TextEntry {
        IControl* control = nullptr;
        int param = -1;
        int state = 0;
    } entry_;
    bool tooltipsEnabled_ = false;
    bool strictDrawing_ = true;
    bool showControlBounds_ = false;
    bool acceptFileDrops_ = false;
    bool redrawOnTimer_ = true;
};
