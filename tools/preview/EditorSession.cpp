#include "CLS_HALVANE.h" // first: the SDK's controller headers must follow the plug-in's

#include "EditorSession.h"
#include "IGraphicsHeadless.h"
#include "LICE_PNG.h"
#include "LICE_SysBitmap.h"
#include "Module.h"
#include "ParameterChanges.h"
#include "ProcessBuffers.h"

#include "pluginterfaces/base/ipluginbase.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

std::unique_ptr<EditorSession> EditorSession::Create(std::string* error) {
    std::string reason;
    std::shared_ptr<halvane::host::Module> module =
        halvane::host::Module::linked(GetPluginFactory(), "Halvane");
    halvane::host::ClassInfo info;
    if (!module || !module->findClass(kVstAudioEffectClass, info)) {
        if (error)
            *error = "the linked module offers no audio effect class";
        return nullptr;
    }
    std::unique_ptr<EditorSession> session(new EditorSession());
    session->instance_ =
        halvane::host::PluginInstance::create(module, info.cid, "Halvane editor session", reason);
    if (!session->instance_) {
        if (error)
            *error = reason;
        return nullptr;
    }
    session->plug_ = dynamic_cast<CLS_HALVANE*>(session->instance_->processor());
    if (!session->plug_ || !session->plug_->Surface()) {
        if (error)
            *error = "the instance is not Halvane with its editor";
        return nullptr;
    }
    // Drawn here, not in a window: the same editor on a surface without one.
    session->surface_ = session->plug_->UseWindowlessEditor();
    halvane::host::PluginInstance& instance = *session->instance_;
    if (instance.activateDefaultBuses() != kResultOk ||
        instance.setupProcessing(kSampleRate, kMaxBlock, kSample32) != kResultOk ||
        instance.setActive(true) != kResultOk) {
        if (error)
            *error = "the instance did not start";
        return nullptr;
    }
    instance.setProcessing(true); // optional for a plug-in: its answer does not matter
    return session;
}

EditorSession::~EditorSession() = default;

IGraphicsHeadless& EditorSession::Surface() {
    return *surface_;
}

std::vector<float> EditorSession::Process(const std::vector<std::pair<int, double>>& changes,
                                          const std::vector<float>& input) {
    const auto frames = static_cast<int32>(input.size());
    halvane::host::ProcessBuffers buffers(kSample32, frames > 0 ? frames : 1);
    for (int32 c = 0; c < 2; ++c)
        for (int32 i = 0; i < frames; ++i)
            buffers.channel32(kInput, 0, c)[i] = input[static_cast<size_t>(i)];
    auto queued = owned(new halvane::host::ParameterChanges());
    for (const auto& [index, value] : changes)
        queued->addChange(static_cast<ParamID>(index), 0, value);
    instance_->process(buffers.prepare(frames, queued));
    const float* left = buffers.channel32(kOutput, 0, 0);
    return std::vector<float>(left, left + frames);
}

void EditorSession::Click(int x, int y, const MouseMods& mods) {
    IGraphicsHeadless& surface = Surface();
    surface.RouteHover(x, y, MouseMods{});
    surface.RoutePointerDown(x, y, mods);
    surface.RoutePointerUp(x, y, mods);
}

void EditorSession::Drag(int fromX, int fromY, int toX, int toY, const MouseMods& mods) {
    IGraphicsHeadless& surface = Surface();
    surface.RouteHover(fromX, fromY, MouseMods{});
    surface.RoutePointerDown(fromX, fromY, mods);
    // In steps of a few pixels, as pointer movements arrive.
    constexpr int kSteps = 8;
    for (int i = 1; i <= kSteps; ++i)
        surface.RoutePointerDrag(fromX + (toX - fromX) * i / kSteps, fromY + (toY - fromY) * i / kSteps,
                                 mods);
    surface.RoutePointerUp(toX, toY, mods);
}

void EditorSession::Ticks(int count) {
    for (int i = 0; i < count; ++i)
        Surface().Tick();
}

void EditorSession::RenderAll() {
    IGraphicsHeadless& surface = Surface();
    surface.RenderRect(PixelRect{0, 0, surface.Width(), surface.Height()});
}

bool EditorSession::WritePng(const std::string& path) {
    return LICE_WritePNG(path.c_str(), Surface().DrawBitmap());
}
