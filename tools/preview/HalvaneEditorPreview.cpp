// halvane-editor-preview OUTPUT.png [STATES_FOLDER [STATE...]]: draws the editor of a real Halvane
// instance, made through the module's factory, with its own surface, and writes it as a PNG; with a
// folder, also one picture per state of EditorStates (hovered knob, open lists, popup, lamp after
// silence), or only of the states named.

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "EditorSession.h"
#include "EditorStates.h"

namespace {

bool Draw(const EditorState& state, const std::string& path) {
    std::string error;
    std::unique_ptr<EditorSession> session = EditorSession::Create(&error);
    if (!session) {
        std::fprintf(stderr, "halvane-editor-preview: %s\n", error.c_str());
        return false;
    }
    ShowEditorState(*session, state);
    if (!session->WritePng(path)) {
        std::fprintf(stderr, "halvane-editor-preview: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: halvane-editor-preview OUTPUT.png [STATES_FOLDER [STATE...]]\n");
        return 2;
    }
    if (!Draw(kEditorStates[0], argv[1]))
        return 1;
    if (argc >= 3) {
        std::error_code error;
        std::filesystem::create_directories(argv[2], error);
        for (const EditorState& state : kEditorStates) {
            bool wanted = argc == 3;
            for (int i = 3; i < argc; ++i)
                wanted = wanted || std::string(argv[i]) == state.name;
            if (wanted && !Draw(state, std::string(argv[2]) + "/" + state.name + ".png"))
                return 1;
        }
    }
    return 0;
}
