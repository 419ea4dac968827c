#pragma once

class IEditorRunLoop;

// What the plug-in base, the effect and the host's editor view ask of an attached editor surface. The
// editor implements it; the framework and the view know no concrete editor. Called on the user-interface
// thread or, for value pushes and control visibility, on whichever thread changed the parameter (the
// surface only marks controls dirty).
class IEditorSurface {
  public:
    virtual ~IEditorSurface() = default;

    // A parameter's value for the controls bound to it, plain or normalised.
    virtual void SetParameterFromPlug(int paramIndex, double value, bool normalized) = 0;
    // Called once when the surface is attached, before its first paint.
    virtual void PrepareDraw() = 0;
    virtual int FrameRate() const = 0;
    // Arms (ticks > 0) or cancels the countdown that ends a deferred gesture.
    virtual void SetEndEditCountdown(int ticks) = 0;
    // Hides or shows every control bound to a parameter.
    virtual void HideParamControls(int paramIndex, bool hide) = 0;

    // ---- the window, for the host's view; user-interface thread ----
    // The editor's size in pixels.
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Whether a window can be opened in a host parent of this platform type ("HWND", ...).
    virtual bool SupportsWindowType(const char* type) const = 0;
    // Opens (or re-opens in place) the editor's window as a child of `parent`, a window of `type`;
    // a window that needs the host's run loop gets it in `runLoop` (null where the host has none).
    // False when the type is not supported or no window could be made.
    virtual bool OpenWindow(void* parent, const char* type, IEditorRunLoop* runLoop) = 0;
    // Closes the window, sending a pending end of gesture first; nothing without one.
    virtual void CloseWindow() = 0;
    virtual bool IsWindowOpen() = 0;

    // Keys a host hands the view instead of the window (editing keys by name, others by character).
    enum class EntryKey { Character, Enter, Escape, Backspace, Delete, Left, Right, Home, End, Tab };
    // Gives a key to the open text entry; false (nothing done) when none is open.
    virtual bool KeyToEntry(EntryKey key, char16_t character, bool down) = 0;
};
