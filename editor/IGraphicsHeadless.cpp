#include "IGraphicsHeadless.h"

#include "LICE_PNGBitmap.h"

IGraphicsHeadless::IGraphicsHeadless(IPlugBase* plugin, int width, int height, int frameRate, void* module)
    : IGraphics(plugin, width, height, frameRate), module_(module) {}

bool IGraphicsHeadless::HostFolder(std::string* folder) {
    if (folder)
        folder->clear();
    return false;
}

bool IGraphicsHeadless::ModuleFolder(std::string* folder) {
    if (folder)
        folder->clear();
    return false;
}

bool IGraphicsHeadless::ChooseFile(std::string* path, bool forSave, const char* folder,
                                   const char* extensions) {
    (void)forSave, (void)folder, (void)extensions;
    if (path)
        path->clear();
    return false;
}

bool IGraphicsHeadless::PickColor(ArgbColor* color, const char* title) {
    (void)color, (void)title;
    return false;
}

bool IGraphicsHeadless::OpenWebPage(const char* url, const char* title, const char* confirmText,
                                    const char* failText) {
    (void)title, (void)confirmText, (void)failText;
    lastWebPage_ = url ? url : "";
    return false;
}

LICE_IBitmap* IGraphicsHeadless::LoadImageResource(int id, const char* name) {
    (void)name;
    return LICE_PNGBitmap::FromResource(module_, id);
}

void IGraphicsHeadless::Tick() {
    RedrawDirty();
    if (countdown_ > 0 && --countdown_ == 0)
        FlushDeferredGesture();
}
