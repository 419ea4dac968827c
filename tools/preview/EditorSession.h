#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "EditorTypes.h"
#include "PluginInstance.h"

class CLS_HALVANE;
class IGraphicsHeadless;

// One Halvane instance created through the module's factory (linked into this program) and started
// as a host starts it, with its editor on a surface without a window, driven the way a window drives it:
// events through the surface's routes, ticks of its timer, whole-editor redraws. For the preview and the
// editor tests.
class EditorSession {
  public:
    static constexpr double kSampleRate = 44100.0;
    static constexpr int kMaxBlock = 512;

    // Null on failure, with the reason in `error`.
    static std::unique_ptr<EditorSession> Create(std::string* error);
    ~EditorSession();

    CLS_HALVANE& Plug() { return *plug_; }
    IGraphicsHeadless& Surface();
    halvane::host::PluginInstance& Instance() { return *instance_; }
    halvane::host::ComponentHandler& Handler() { return instance_->componentHandler(); }

    // One block through the host's process call, the changes (parameter index, normalised value) at
    // offset 0; the input is the same on both channels. Returns the left output.
    std::vector<float> Process(const std::vector<std::pair<int, double>>& changes,
                               const std::vector<float>& input);

    // Pointer gestures as a window reports them.
    static MouseMods Left() { return MouseMods{true, false, false, false, false}; }
    static MouseMods Right() { return MouseMods{false, true, false, false, false}; }
    void Click(int x, int y, const MouseMods& mods = Left());
    void Drag(int fromX, int fromY, int toX, int toY, const MouseMods& mods = Left());
    void Ticks(int count);
    // Draws the whole editor, as a paint of the full window does.
    void RenderAll();
    bool WritePng(const std::string& path);

  private:
    EditorSession() = default;

    std::unique_ptr<halvane::host::PluginInstance> instance_;
    CLS_HALVANE* plug_ = nullptr;
    IGraphicsHeadless* surface_ = nullptr; // owned by the plug-in
};
