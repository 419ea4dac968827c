// Random sequences of pointer, drag, wheel, hover, key and double-click events at random points over
// the real editor of an instance made through the module's factory, with timer ticks, host automation
// and redraws among them. Whatever arrives, nothing crashes, every control's value stays in [0, 1] and
// the host sees whole gestures, one at a time.
//
// One session serves every input: making one (an instance with two editors) and drawing its first whole
// picture cost hundreds of times what an input does. Before each input its editor is back where a new
// one is for everything events reach: no pointer, hover, popup or gesture, every parameter at its
// default, nothing waiting to be drawn, the host's record of edits empty. What earlier inputs drew stays
// in the picture until it is drawn over, as in a window.
//
// Built twice from this file. Under the sanitizers drawing costs more than everything else together by
// far (a tick that redraws one knob draws the whole background under it: a tenth of a second; the whole
// editor twice that), and a fuzzer goes for the drawing code as soon as an input can reach it. So
// editor_events_fuzzer only works out what a tick or redraw would draw, and editor_drawing_fuzzer, from
// the same inputs, draws it.

#include "CLS_HALVANE.h" // first: the SDK's controller headers must follow the plug-in's

#include <cstdlib>
#include <memory>
#include <vector>

#include "EditorLayout.h"
#include "EditorSession.h"
#include "FuzzInput.h"
#include "IControl.h"
#include "IGraphicsHeadless.h"

namespace {

using halvane::fuzz::FuzzInput;
using Kind = halvane::host::EditEvent::Kind;

void Check(bool ok) {
    if (!ok)
        std::abort(); // libFuzzer keeps the input
}

#ifdef HALVANE_FUZZ_DRAWING
constexpr bool kDraws = true;
#else
constexpr bool kDraws = false;
#endif

struct Fixture {
    std::unique_ptr<EditorSession> session = EditorSession::Create(nullptr);
    std::vector<char> defaults;

    Fixture() {
        Check(session != nullptr);
        Check(session->Instance().saveState(defaults) == Steinberg::kResultOk);
        session->Surface().RedrawOnTimer(kDraws);
    }

    void Restart() {
        IGraphicsHeadless& surface = session->Surface();
        surface.RoutePointerUp(10, 10, MouseMods{});
        surface.RoutePointerLeft();
        surface.DismissPopup(false);
        surface.ClearPopupState();
        surface.ClearPointer();
        session->Plug().FlushDeferredEndEdit();
        Check(session->Instance().loadState(defaults) == Steinberg::kResultOk);
        for (int i = 0; i < surface.ControlCount(); ++i)
            surface.Control(i)->MarkClean();
        session->Handler().clear();
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Fixture fixture;
    fixture.Restart();
    EditorSession* session = fixture.session.get();
    IGraphicsHeadless& surface = session->Surface();
    FuzzInput in(data, size);
    static const double kNotches[] = {1.0, -1.0, 0.5, -3.0, 120.0, 1e300, -0.0};
    for (int events = 0; !in.empty() && events < 256; ++events) {
        const int kind = in.byte() % 11;
        const int x = static_cast<int>(in.byte()) * 2 - 1, y = static_cast<int>(in.byte()) * 2 - 40;
        const uint8_t bits = in.byte();
        const MouseMods mods{(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0, (bits & 8) != 0,
                             (bits & 16) != 0};
        switch (kind) {
        case 0:
            surface.RoutePointerDown(x, y, mods);
            break;
        case 1:
            surface.RoutePointerDrag(x, y, mods);
            break;
        case 2:
            surface.RoutePointerUp(x, y, mods);
            break;
        case 3:
            surface.RouteWheel(x, y, mods, in.pick(kNotches));
            break;
        case 4:
            surface.RouteHover(x, y, mods);
            break;
        case 5:
            surface.RouteKey(x, y, in.byte());
            break;
        case 6:
            surface.RouteDoubleClick(x, y, mods);
            break;
        case 7:
            surface.RoutePointerLeft();
            break;
        case 8:
            session->Ticks(in.byte() % 16);
            break;
        case 9: // the host automates a parameter meanwhile
            session->Process({{in.byte() % 30 - 2, in.f64()}}, std::vector<float>(16, 0.0f));
            break;
        default:
            if (kDraws) {
                session->RenderAll();
            } else {
                PixelRect dirty;
                surface.CollectDirty(&dirty);
            }
            break;
        }
    }
    surface.RoutePointerUp(10, 10, MouseMods{});
    session->Ticks(13);

    for (int i = 0; i < surface.ControlCount(); ++i) {
        const double v = surface.Control(i)->Value();
        Check(v >= 0.0 && v <= 1.0);
    }
    long open = -1;
    for (const auto& e : session->Handler().edits()) {
        if (e.kind == Kind::Begin) {
            Check(open == -1);
            open = static_cast<long>(e.id);
        } else if (e.kind == Kind::Perform) {
            Check(open == static_cast<long>(e.id));
        } else {
            Check(open == static_cast<long>(e.id));
            open = -1;
        }
    }
    Check(open == -1);
    return 0;
}
