#include "IPlugVST3View.h"

#include "HostCallGuard.h"
#include "IPlugVST3.h"
#include "IPlugVST3RunLoop.h"

using namespace Steinberg;

namespace {

// The VST 3 virtual key codes a text entry needs (the SDK subset lacks their header).
enum VstKey : int16 {
    kVstBack = 1,
    kVstTab = 2,
    kVstReturn = 4,
    kVstEscape = 6,
    kVstEnd = 9,
    kVstHome = 10,
    kVstLeft = 11,
    kVstRight = 13,
    kVstEnter = 19,
    kVstDelete = 22,
};

IEditorSurface::EntryKey EntryKeyFor(int16 keyCode) {
    using Key = IEditorSurface::EntryKey;
    switch (keyCode) {
    case kVstBack:
        return Key::Backspace;
    case kVstTab:
        return Key::Tab;
    case kVstReturn:
    case kVstEnter:
        return Key::Enter;
    case kVstEscape:
        return Key::Escape;
    case kVstEnd:
        return Key::End;
    case kVstHome:
        return Key::Home;
    case kVstLeft:
        return Key::Left;
    case kVstRight:
        return Key::Right;
    case kVstDelete:
        return Key::Delete;
    default:
        return Key::Character;
    }
}

} // namespace

IPlugVST3View::IPlugVST3View(IPlugVST3* plug) : CPluginView(nullptr), plug_(plug) {
    plug_->addRef();
    plug_->AddView(this);
}

IPlugVST3View::~IPlugVST3View() {
    // A host that releases the view without removing it first still gets its window closed.
    Close();
    runLoop_.reset();
    plug_->RemoveView(this);
    plug_->release();
}

void IPlugVST3View::FlushRunLoop() {
    if (runLoop_)
        runLoop_->Flush();
}

void IPlugVST3View::Close() {
    if (!open_)
        return;
    open_ = false;
    if (IEditorSurface* editor = plug_->Editor()) {
        plug_->EditorClosed();
        editor->CloseWindow();
    }
    systemWindow = nullptr;
    FlushRunLoop();
}

tresult PLUGIN_API IPlugVST3View::isPlatformTypeSupported(FIDString type) {
    FlushRunLoop();
    IEditorSurface* editor = plug_->Editor();
    return editor && editor->SupportsWindowType(type) ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API IPlugVST3View::attached(void* parent, FIDString type) {
    return GuardHostCall([&]() -> tresult {
        FlushRunLoop();
        IEditorSurface* editor = plug_->Editor();
        if (!editor)
            return kResultFalse;
        if (editor->SupportsWindowType(type)) {
            IEditorRunLoop* loop = nullptr;
#if SMTG_OS_LINUX
            // Windows without a thread of their own run on the host's loop: the frame's, else the host's.
            if (!runLoop_) {
                IPtr<Linux::IRunLoop> hostLoop =
                    owned(IPlugVST3RunLoop::Find(plugFrame, plug_->getHostContext()));
                if (hostLoop)
                    runLoop_ = std::make_unique<IPlugVST3RunLoop>(hostLoop);
            }
            loop = runLoop_.get();
#endif
            // A window that could not be made is not reported as open, and leaves nothing behind.
            if (!parent || !editor->OpenWindow(parent, type, loop)) {
                runLoop_.reset();
                return kResultFalse;
            }
            systemWindow = parent;
        }
        open_ = true;
        plug_->EditorOpened();
        return kResultOk;
    });
}

tresult PLUGIN_API IPlugVST3View::removed() {
    return GuardHostCall([&]() -> tresult {
        Close();
        runLoop_.reset();
        return CPluginView::removed();
    });
}

tresult PLUGIN_API IPlugVST3View::getSize(ViewRect* size) {
    IEditorSurface* editor = plug_->Editor();
    if (!editor)
        return kResultFalse;
    if (!size)
        return kInvalidArgument;
    *size = ViewRect(0, 0, editor->Width(), editor->Height());
    return kResultOk;
}

tresult PLUGIN_API IPlugVST3View::onSize(ViewRect* newSize) {
    if (!newSize)
        return kResultOk;
    return GuardHostCall([&]() -> tresult {
        rect = *newSize;
        if (resizePending_) {
            resizePending_ = false;
            plug_->EditorResized(rect.left, rect.top, rect.right, rect.bottom);
        }
        return kResultOk;
    });
}

tresult PLUGIN_API IPlugVST3View::setFrame(IPlugFrame* frame) {
    return GuardHostCall([&]() -> tresult {
        // Some hosts take the frame away before removing the view: the window cannot outlive its loop.
        if (!frame && plugFrame)
            Close();
        FlushRunLoop();
        plugFrame = frame;
        return kResultOk;
    });
}

tresult PLUGIN_API IPlugVST3View::onKeyDown(char16 key, int16 keyCode, int16) {
    return Key(key, keyCode, true);
}

tresult PLUGIN_API IPlugVST3View::onKeyUp(char16 key, int16 keyCode, int16) {
    return Key(key, keyCode, false);
}

tresult IPlugVST3View::Key(char16 key, int16 keyCode, bool down) {
    return GuardHostCall([&]() -> tresult {
        FlushRunLoop();
        IEditorSurface* editor = plug_->Editor();
        if (!editor || !systemWindow)
            return kResultFalse;
        return editor->KeyToEntry(EntryKeyFor(keyCode), static_cast<char16_t>(key), down) ? kResultTrue
                                                                                          : kResultFalse;
    });
}

void IPlugVST3View::RequestResize(int width, int height) {
    if (!plugFrame)
        return;
    resizePending_ = true;
    ViewRect size(0, 0, width, height);
    plugFrame->resizeView(this, &size);
}
