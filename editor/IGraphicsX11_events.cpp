#include "IGraphicsX11_native.h"

#include <X11/keysym.h>

#include <cstdint>
#include <cstdlib>

namespace {

// A second left press this soon and this near to the first is a double click.
constexpr std::uint32_t kDoubleClickMs = 400;
constexpr int kDoubleClickPixels = 5;

MouseMods ModsOf(unsigned state) {
    MouseMods mods;
    mods.shift = (state & ShiftMask) != 0;
    mods.ctrl = (state & ControlMask) != 0;
    mods.alt = (state & Mod1Mask) != 0;
    return mods;
}

// The controls' key codes; -1 for keys they never see. Keypad digits count as digits.
int KeyCodeFor(KeySym sym) {
    switch (sym) {
    case XK_space:
        return 0;
    case XK_Up:
    case XK_KP_Up:
        return 1;
    case XK_Down:
    case XK_KP_Down:
        return 2;
    case XK_Left:
    case XK_KP_Left:
        return 3;
    case XK_Right:
    case XK_KP_Right:
        return 4;
    default:
        break;
    }
    if (sym >= XK_0 && sym <= XK_9)
        return static_cast<int>(sym - XK_0) + 6;
    if (sym >= XK_KP_0 && sym <= XK_KP_9)
        return static_cast<int>(sym - XK_KP_0) + 6;
    if (sym >= XK_A && sym <= XK_Z)
        return static_cast<int>(sym - XK_A) + 16;
    if (sym >= XK_a && sym <= XK_z)
        return static_cast<int>(sym - XK_a) + 16;
    return -1;
}

// The box's editing keys; Character for anything else.
IEditorSurface::EntryKey EntryKeyFor(KeySym sym) {
    using Key = IEditorSurface::EntryKey;
    switch (sym) {
    case XK_Return:
    case XK_KP_Enter:
    case XK_ISO_Enter:
        return Key::Enter;
    case XK_Escape:
        return Key::Escape;
    case XK_BackSpace:
        return Key::Backspace;
    case XK_Delete:
    case XK_KP_Delete:
        return Key::Delete;
    case XK_Left:
    case XK_KP_Left:
        return Key::Left;
    case XK_Right:
    case XK_KP_Right:
        return Key::Right;
    case XK_Home:
    case XK_KP_Home:
        return Key::Home;
    case XK_End:
    case XK_KP_End:
        return Key::End;
    case XK_Tab:
    case XK_ISO_Left_Tab:
        return Key::Tab;
    default:
        return Key::Character;
    }
}

} // namespace

// ---- events ----

void IGraphicsX11::Handle(XEvent& event) {
    Connection& c = *window_;
    if (event.xany.window != c.window)
        return;
    switch (event.type) {
    case Expose: {
        const XExposeEvent& e = event.xexpose;
        c.exposed = c.exposed.Union(PixelRect{e.x, e.y, e.x + e.width, e.y + e.height});
        if (e.count == 0 && c.mapped) {
            const PixelRect rect = c.exposed;
            c.exposed = PixelRect{};
            RenderRect(rect);
        }
        break;
    }
    case MapNotify:
        c.mapped = true;
        break;
    case UnmapNotify:
        c.mapped = false;
        break;
    case DestroyNotify:
        // The host destroyed the parent, and our window with it.
        c.windowExists = false;
        CloseSurfaceWindow();
        break;
    case ReparentNotify:
        c.parent = c.embedder = event.xreparent.parent; // a new embedder names itself again
        break;
    case ButtonPress:
    case ButtonRelease:
        HandleButton(event, event.type == ButtonPress);
        break;
    case MotionNotify:
        HandleMotion(event);
        break;
    case EnterNotify:
        c.x = event.xcrossing.x;
        c.y = event.xcrossing.y;
        if (!c.held)
            RouteHover(c.x, c.y, ModsOf(event.xcrossing.state));
        break;
    case LeaveNotify:
        // Crossings a grab makes are not the pointer leaving; while a button is held the leave waits for
        // the release.
        if (event.xcrossing.mode == NotifyNormal && !c.held)
            RoutePointerLeft();
        break;
    case KeyPress:
        HandleKey(event);
        break;
    case FocusIn:
    case FocusOut:
        if (c.ic && EntryField()) {
            if (event.type == FocusIn)
                XSetICFocus(c.ic);
            else
                XUnsetICFocus(c.ic);
        }
        break;
    case ClientMessage:
        if (event.xclient.message_type == c.xembed && event.xclient.format == 32 &&
            event.xclient.data.l[1] == Connection::kEmbeddedNotify && event.xclient.data.l[3] != 0)
            c.embedder = static_cast<::Window>(event.xclient.data.l[3]);
        break;
    default:
        break;
    }
}

void IGraphicsX11::HandleButton(XEvent& event, bool press) {
    Connection& c = *window_;
    const XButtonEvent& e = event.xbutton;
    c.x = e.x;
    c.y = e.y;
    if (e.button == Button4 || e.button == Button5) {
        if (press)
            RouteWheel(e.x, e.y, ModsOf(e.state), e.button == Button4 ? 1.0 : -1.0);
        return;
    }
    // Buttons 6 and 7 (a sideways wheel) turn nothing: every control turns with the vertical wheel only.
    // The middle button has no meaning here either.
    if (e.button != Button1 && e.button != Button3)
        return;
    MouseMods mods = ModsOf(e.state);
    mods.left = e.button == Button1;
    mods.right = e.button == Button3;
    const unsigned bit = mods.left ? 1u : 2u;
    Display* d = c.display;
    const Time time = e.time ? e.time : CurrentTime;
    if (!press) {
        c.held &= ~bit;
        if (!c.held && c.grabbed) {
            XUngrabPointer(d, time);
            c.grabbed = false;
        }
        const bool outside = e.x < 0 || e.y < 0 || e.x >= Width() || e.y >= Height();
        RoutePointerUp(e.x, e.y, mods);
        if (outside && window_ && !window_->held)
            RoutePointerLeft(); // the leave held back while the button was down
        return;
    }
    // Events without a timestamp (some synthetic ones) never pair.
    const bool doubleClick = mods.left && c.lastPressPairs && e.time != 0 &&
                             static_cast<std::uint32_t>(e.time - c.lastPressTime) <= kDoubleClickMs &&
                             std::abs(e.x - c.lastPressX) <= kDoubleClickPixels &&
                             std::abs(e.y - c.lastPressY) <= kDoubleClickPixels;
    c.lastPressPairs = mods.left && !doubleClick; // a third press starts again
    c.lastPressTime = e.time;
    c.lastPressX = e.x;
    c.lastPressY = e.y;
    c.held |= bit;
    const bool hold = PressPointer(e.x, e.y, mods, doubleClick);
    if (hold && window_ && !window_->grabbed) {
        window_->grabbed =
            XGrabPointer(d, window_->window, False, ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
                         GrabModeAsync, GrabModeAsync, None, None, time) == GrabSuccess;
    }
}

void IGraphicsX11::HandleMotion(XEvent& event) {
    Connection& c = *window_;
    // Only the latest of a run of movements matters: drags add up their steps from the last position.
    while (XPending(c.display) > 0) {
        XEvent next;
        XPeekEvent(c.display, &next);
        if (next.type != MotionNotify || next.xmotion.window != c.window)
            break;
        XNextEvent(c.display, &event);
    }
    const XMotionEvent& e = event.xmotion;
    c.x = e.x;
    c.y = e.y;
    // A release we never saw (a grab broken under us) shows in the buttons the event reports.
    c.held &= ((e.state & Button1Mask) ? 1u : 0u) | ((e.state & Button3Mask) ? 2u : 0u);
    if (!c.held && c.grabbed) {
        XUngrabPointer(c.display, CurrentTime);
        c.grabbed = false;
    }
    MouseMods mods = ModsOf(e.state);
    if (c.held) {
        mods.left = (c.held & 1u) != 0;
        mods.right = (c.held & 2u) != 0;
        RoutePointerDrag(e.x, e.y, mods);
    } else {
        RouteHover(e.x, e.y, mods);
    }
}

void IGraphicsX11::HandleKey(XEvent& event) {
    Connection& c = *window_;
    XKeyEvent& e = event.xkey;
    char text[64] = {};
    KeySym sym = NoSymbol;
    int length = 0;
    if (c.ic) {
        Status status = 0;
        length = Xutf8LookupString(c.ic, &e, text, sizeof(text) - 1, &sym, &status);
        if (status != XLookupChars && status != XLookupBoth)
            length = 0;
        if (status != XLookupKeySym && status != XLookupBoth)
            sym = NoSymbol;
    } else {
        // Latin-1 without an input method; typed values are ASCII anyway.
        length = XLookupString(&e, text, sizeof(text) - 1, &sym, nullptr);
        for (int i = 0; i < length; ++i)
            if (static_cast<unsigned char>(text[i]) >= 0x80)
                length = 0;
    }
    text[length > 0 ? length : 0] = '\0';
    if (sym == NoSymbol)
        sym = XLookupKeysym(&e, 0);
    if (EntryField()) {
        const EntryKey key = EntryKeyFor(sym);
        if (key != EntryKey::Character)
            KeyToField(key, nullptr, (e.state & ShiftMask) != 0);
        else if (length > 0 && !(e.state & ControlMask))
            KeyToField(key, text, false);
        return;
    }
    const int code = KeyCodeFor(sym);
    if (code >= 0)
        RouteKey(c.x, c.y, code);
}
