#include "IGraphicsHeadless.h"

IGraphicsHeadless::IGraphicsHeadless(IPlugBase* plugin, int width, int height, int frameRate, void* module)
    : IGraphics(plugin, width, height, frameRate) {
    SetModule(module);
}
