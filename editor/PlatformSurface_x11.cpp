#include "IGraphicsX11.h"
#include "PlatformSurface.h"

IGraphics* MakePlatformSurface(IPlugBase* plugin, int width, int height, int frameRate, void* module) {
    return new IGraphicsX11(plugin, width, height, frameRate, module);
}
