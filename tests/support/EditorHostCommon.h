#pragma once

// What the tests that host the real editor in a window share on every platform: an instance started the
// way a host starts it, the controls' places on the face, and what the host heard, as short text.

#include "EditorLayout.h"
#include "Module.h"
#include "PluginInstance.h"

#include <memory>
#include <string>
#include <vector>

namespace halvane::test {

// Created, buses on, set up for stereo 32-bit blocks at 48 kHz, active and processing.
inline std::unique_ptr<host::PluginInstance> StartInstance(const std::shared_ptr<host::Module>& module,
                                                           std::string& error) {
    host::ClassInfo info;
    if (!module->findClass("Audio Module Class", info)) {
        error = "no audio effect class";
        return nullptr;
    }
    auto plug = host::PluginInstance::create(module, info.cid, "Halvane Editor Host", error);
    if (!plug)
        return plug;
    if (plug->activateDefaultBuses() != Steinberg::kResultOk ||
        plug->setupProcessing(48000.0, 512, Steinberg::Vst::kSample32) != Steinberg::kResultOk ||
        plug->setActive(true) != Steinberg::kResultOk) {
        error = "the instance did not start";
        return nullptr;
    }
    plug->setProcessing(true);
    return plug;
}

// The layout entry of the control of `kind` bound to `param`.
inline const EditorLayout::Control& ControlFor(EditorLayout::ControlKind kind, int param) {
    for (const EditorLayout::Control& c : EditorLayout::kControls)
        if (c.kind == kind && c.param == param)
            return c;
    return EditorLayout::kControls[0];
}

// A point on the editor's face, from its top-left corner.
struct FacePoint {
    int x;
    int y;
};

inline FacePoint ControlCentre(const EditorLayout::Control& c) {
    return {(c.left + c.right) / 2, (c.top + c.bottom) / 2};
}

// The edits as "b1 p1 e1" (begin, performs, end with the parameter id); a run of performs on one
// parameter shows once.
inline std::string GestureText(const std::vector<host::EditEvent>& edits) {
    std::string text, last;
    for (const host::EditEvent& e : edits) {
        const char kind =
            e.kind == host::EditEvent::Kind::Begin ? 'b' : (e.kind == host::EditEvent::Kind::End ? 'e' : 'p');
        const std::string item = kind + std::to_string(e.id);
        if (kind == 'p' && item == last)
            continue;
        text += (text.empty() ? "" : " ") + item;
        last = item;
    }
    return text;
}

} // namespace halvane::test
