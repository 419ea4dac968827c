#pragma once

// The Win32 side of IGraphicsWin, shared by its .cpp files only.

// Ours first: the Windows headers' macros (DrawText and the like) must not rename our declarations.
#include "IGraphicsWin.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

struct IGraphicsWinNative {
    static constexpr const char* kWindowClass = "IPlugWndClass";
    static constexpr UINT_PTR kTimerId = 2;
    static constexpr int kEntryId = 99;
    // Marks an entry window in its user data.
    static constexpr LONG_PTR kEntryMarker = 0xDEADF00B;

    static HWND Window(const IGraphicsWin& s) { return static_cast<HWND>(s.window_); }
    static HWND Entry(const IGraphicsWin& s) { return static_cast<HWND>(s.entryWindow_.window); }
    // The surface a window of ours belongs to, when it is that surface's current window.
    static IGraphicsWin* SurfaceOf(HWND window);

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK EntryProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // While an entry is open: keys for it reach it even when the host's loop would take them.
    static LRESULT CALLBACK KeyHook(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT Message(IGraphicsWin& s, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};
