#pragma once

#include <string>

#include "IControl.h"

// An invisible link over part of the background: any press opens the maker's page for the effect.
class IURLOpen : public IControl {
  public:
    // `siteAddress` is the maker's site; the effect name becomes the path.
    IURLOpen(IPlugBase* plugin, const PixelRect& rect, const char* siteAddress);

    void PointerDown(int x, int y, const MouseMods& mods) override;
    bool Render(IGraphics& surface) override {
        (void)surface;
        return true;
    }
    // The address a press opens.
    std::string Address() const;

  private:
    std::string site_;
};
