#pragma once

class IGraphics;
class IPlugBase;

// A new surface of the platform this module is built for: its window where it has one, else one without
// a window. `module` holds the images (null: the program itself). The build picks the file that
// defines it.
IGraphics* MakePlatformSurface(IPlugBase* plugin, int width, int height, int frameRate, void* module);
