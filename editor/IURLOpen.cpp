#include "IURLOpen.h"

#include "IGraphics.h"
#include "IPlugBase.h"

IURLOpen::IURLOpen(IPlugBase* plugin, const PixelRect& rect, const char* siteAddress)
    : IControl(plugin, rect), site_(siteAddress ? siteAddress : "") {
    while (!site_.empty() && site_.back() == '/')
        site_.pop_back();
}

std::string IURLOpen::Address() const {
    return site_ + "/" + (Plugin() ? Plugin()->EffectName() : "");
}

void IURLOpen::PointerDown(int x, int y, const MouseMods& mods) {
    (void)x, (void)y, (void)mods;
    if (Surface())
        Surface()->OpenWebPage(Address().c_str(), nullptr, nullptr,
                               "Cannot open url. Check your default browser.");
}
