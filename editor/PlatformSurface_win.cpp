#include "IGraphicsWin.h"
#include "PlatformSurface.h"

IGraphics* MakePlatformSurface(IPlugBase* plugin, int width, int height, int frameRate, void* module) {
    return new IGraphicsWin(plugin, width, height, frameRate, module);
}
