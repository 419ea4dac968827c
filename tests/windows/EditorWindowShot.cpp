// Holds the real editor on screen for editor-window-shot.sh, which takes the pictures from the X server.
// For each state it writes WORKDIR/<state>.geometry (the host window's client area on the screen, as
// WxH+X+Y) once the state is drawn, and keeps the window running until WORKDIR/<state>.taken appears.
//   halvane-editor-window-shot.exe WORKDIR

#include "EditorHost.h"

#include <cstdio>
#include <string>

using namespace halvane;
using namespace halvane::editorhost;

namespace {

// The script gets a minute per picture; after that it is gone and the program stops on its own.
constexpr DWORD kWaitMs = 60000;

bool exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool Hold(const std::string& work, const char* state, HWND parent) {
    RECT client;
    GetClientRect(parent, &client);
    POINT origin = {0, 0};
    ClientToScreen(parent, &origin);
    // Written aside and renamed, so the script never reads half a line.
    const std::string geometry = work + "/" + state + ".geometry";
    std::FILE* file = std::fopen((geometry + ".part").c_str(), "w");
    if (!file)
        return false;
    std::fprintf(file, "%ldx%ld+%ld+%ld\n", client.right, client.bottom, origin.x, origin.y);
    std::fclose(file);
    std::printf("%s: %ldx%ld+%ld+%ld\n", state, client.right, client.bottom, origin.x, origin.y);
    std::fflush(stdout);
    if (!MoveFileExA((geometry + ".part").c_str(), geometry.c_str(), MOVEFILE_REPLACE_EXISTING))
        return false;
    const DWORD start = GetTickCount();
    while (!exists(work + "/" + state + ".taken")) {
        if (GetTickCount() - start > kWaitMs)
            return false;
        Pump(50);
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s WORKDIR\n", argv[0]);
        return 2;
    }
    const std::string work = argv[1];
    std::string error;
    auto module = OpenModule(error);
    auto plug = module ? StartInstance(module, error) : nullptr;
    if (!plug) {
        std::fprintf(stderr, "%s: %s\n", HALVANE_MODULE_BINARY, error.c_str());
        return 1;
    }
    HWND parent = CreateHostWindow(40, 40);
    IPtr<Frame> frame = Steinberg::owned(new Frame());
    IPtr<IPlugView> view = parent ? OpenEditor(*plug, parent, frame) : nullptr;
    HWND editor = parent ? EditorWindowOf(parent) : nullptr;
    if (!view || !editor) {
        std::fprintf(stderr, "the editor did not open\n");
        return 1;
    }
    Pump(500);

    bool held = Hold(work, "editor-window", parent);
    if (held) {
        // A left click on the "Space" selector opens its picture of all choices.
        Click(editor, CentreOf(ControlFor(EditorLayout::ControlKind::DropDown, kSpace)));
        Tick(editor);
        Pump(300);
        held = Hold(work, "editor-window-space-list", parent);
    }

    view->removed();
    view = nullptr;
    DestroyWindow(parent);
    plug.reset();
    if (!held)
        std::fprintf(stderr, "no picture was taken\n");
    return held ? 0 : 1;
}
