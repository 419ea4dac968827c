// Speed of the editor's drawing on the user-interface thread, on a real instance made through the
// module's factory: a timer tick with nothing to redraw, a tick after the host moved one knob, the whole
// face drawn, and the whole face shown in the plug-in's X11 window (needs an X display).

#include "CLS_HALVANE.h" // first: the SDK's controller headers must follow the plug-in's

#include <benchmark/benchmark.h>

#include "EditorSession.h"
#include "IGraphics.h"
#include "IGraphicsHeadless.h"
#include "Module.h"
#include "ParameterTable.h"
#include "PluginInstance.h"
#include "RunLoop.h"
#include "X11ParentWindow.h"

#include "pluginterfaces/gui/iplugview.h"

#include <cstdlib>
#include <memory>
#include <string>

using namespace Steinberg;

namespace {

// An editor on a surface without a window, drawn once and settled, so only what a case changes is dirty.
std::unique_ptr<EditorSession> SettledSession(benchmark::State& state) {
    std::string error;
    std::unique_ptr<EditorSession> session = EditorSession::Create(&error);
    if (!session) {
        state.SkipWithError(error.c_str());
        return nullptr;
    }
    session->RenderAll();
    session->Ticks(2);
    return session;
}

void BM_TickNothingDirty(benchmark::State& state) {
    std::unique_ptr<EditorSession> session = SettledSession(state);
    if (!session)
        return;
    IGraphicsHeadless& surface = session->Surface();
    for (auto _ : state)
        surface.Tick();
}

void BM_TickKnobAutomated(benchmark::State& state) {
    std::unique_ptr<EditorSession> session = SettledSession(state);
    if (!session)
        return;
    IGraphicsHeadless& surface = session->Surface();
    bool high = false;
    for (auto _ : state) {
        high = !high;
        surface.ShowParamValue(kTime, high ? 0.75 : 0.25, true);
        surface.Tick();
    }
}

void BM_RenderWholeFace(benchmark::State& state) {
    std::unique_ptr<EditorSession> session = SettledSession(state);
    if (!session)
        return;
    for (auto _ : state)
        session->RenderAll();
}

// The plug-in's own surface in its X11 window, opened through its view in a window of ours as a Linux
// host opens it; the case times handing the whole face to the window (the server's share may follow
// later, on its own time).
void BM_PresentWholeFaceX11(benchmark::State& state) {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        state.SkipWithError("DISPLAY is unset: no X server to present to");
        return;
    }
    std::shared_ptr<halvane::host::Module> module =
        halvane::host::Module::linked(GetPluginFactory(), "Halvane");
    halvane::host::ClassInfo info;
    std::string error;
    std::unique_ptr<halvane::host::PluginInstance> instance;
    if (module && module->findClass(kVstAudioEffectClass, info))
        instance = halvane::host::PluginInstance::create(module, info.cid, "halvane-editor-bench", error);
    auto* plug = instance ? dynamic_cast<CLS_HALVANE*>(instance->processor()) : nullptr;
    IGraphics* surface = plug ? plug->Surface() : nullptr;
    if (!surface) {
        state.SkipWithError("no Halvane instance with its editor");
        return;
    }
    IPtr<IPlugView> view = owned(instance->controller()->createView(Vst::ViewType::kEditor));
    if (!view || view->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID) != kResultTrue) {
        state.SkipWithError("this build has no X11 editor window");
        return;
    }
    std::unique_ptr<halvane::host::X11ParentWindow> window =
        halvane::host::X11ParentWindow::open(surface->Width(), surface->Height(), "Halvane", error);
    if (!window) {
        state.SkipWithError(error.c_str());
        return;
    }
    IPtr<halvane::host::RunLoop> loop = owned(new halvane::host::RunLoop());
    view->setFrame(loop);
    if (view->attached(window->parentHandle(), kPlatformTypeX11EmbedWindowID) != kResultOk ||
        !surface->IsWindowOpen()) {
        view->setFrame(nullptr);
        state.SkipWithError("the editor window did not open");
        return;
    }
    loop->runFor(200); // its first paint and whatever the server sends it
    const PixelRect whole{0, 0, surface->Width(), surface->Height()};
    for (auto _ : state) {
        benchmark::DoNotOptimize(surface->PresentRect(whole));
        // What the window's connection has received meanwhile (exposures, replies) is read as a host's
        // loop would read it, outside the timing.
        state.PauseTiming();
        loop->runOnce(0);
        state.ResumeTiming();
    }
    view->removed();
    view->setFrame(nullptr);
}

} // namespace

BENCHMARK(BM_TickNothingDirty)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TickKnobAutomated)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RenderWholeFace)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PresentWholeFaceX11)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
