#include "IGraphicsHeadless.h"
#include "PlatformSurface.h"

IGraphics* MakePlatformSurface(IPlugBase* plugin, int width, int height, int frameRate, void* module) {
    return new IGraphicsHeadless(plugin, width, height, frameRate, module);
}
