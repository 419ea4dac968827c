#include "EditorStates.h"

#include <vector>

#include "CLS_HALVANE.h"
#include "EditorLayout.h"
#include "EditorSession.h"
#include "IGraphicsHeadless.h"

namespace {

using namespace EditorLayout;

// The centre of the control that is bound to `param`.
void CentreOf(int param, int* x, int* y) {
    for (const Control& c : kControls) {
        if (c.param == param) {
            *x = (c.left + c.right) / 2;
            *y = (c.top + c.bottom) / 2;
            return;
        }
    }
    *x = *y = 0;
}

// A host that plays: one block of silence reaches the engine, so the lamp shows it running.
void Playing(EditorSession& s) {
    s.Process({}, std::vector<float>(EditorSession::kMaxBlock, 0.0f));
}

void Defaults(EditorSession& s) {
    Playing(s);
}

void HoverTime(EditorSession& s) {
    Playing(s);
    int x, y;
    CentreOf(kTime, &x, &y);
    s.Surface().RouteHover(x, y, MouseMods{});
}

void TimeAtTop(EditorSession& s) {
    Playing(s);
    int x, y;
    CentreOf(kTime, &x, &y);
    s.Drag(x, y, x, y - 300); // further than the 4 knob heights that cover the range
    s.Surface().RouteHover(x, y - 300, MouseMods{});
}

void SpaceListOpen(EditorSession& s) {
    Playing(s);
    int x, y;
    CentreOf(kSpace, &x, &y);
    s.Click(x, y);
}

void StereoMono(EditorSession& s) {
    s.Process({{kStereo, 0.0}}, std::vector<float>(EditorSession::kMaxBlock, 0.0f));
}

void StereoPositionPopup(EditorSession& s) {
    Playing(s);
    int x, y;
    CentreOf(kStereoPosition, &x, &y);
    s.Click(x, y, EditorSession::Right());
}

void LampAfterSilence(EditorSession& s) {
    const std::vector<float> silence(EditorSession::kMaxBlock, 0.0f);
    const std::vector<float> note(EditorSession::kMaxBlock, 0.25f);
    s.Process({}, note);
    // Silence until the tail has died below the threshold and the gate passes audio through (at most
    // three minutes of audio).
    const int limit = static_cast<int>(180 * EditorSession::kSampleRate / EditorSession::kMaxBlock);
    for (int i = 0; i < limit && s.Plug().IsProcessing(); ++i)
        s.Process({}, silence);
}

} // namespace

const EditorState kEditorStates[kEditorStateCount] = {
    {"defaults", Defaults},
    {"hover-time", HoverTime},
    {"time-at-top", TimeAtTop},
    {"space-list-open", SpaceListOpen},
    {"stereo-mono", StereoMono},
    {"stereo-position-popup", StereoPositionPopup},
    {"lamp-after-silence", LampAfterSilence},
};

void ShowEditorState(EditorSession& session, const EditorState& state) {
    state.reach(session);
    session.Ticks(1); // what changed is taken up on the next tick, as the window's timer does
    session.RenderAll();
}
