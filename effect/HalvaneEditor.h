#pragma once

class IBypass;
class IGraphics;
class IPlugBase;

// The effect's 514 x 420 editor for `plugin`: the background and the 28 controls in attach order, the
// Mono Position slider hidden, hover tracking on. `lamp` receives the activity lamp. User-interface
// thread, while the surface is not yet the plug-in's.
void AddHalvaneControls(IGraphics& surface, IPlugBase* plugin, IBypass** lamp);

// The editor on this platform's surface (its window where it has one); the caller hands it to the plug-in.
IGraphics* BuildHalvaneEditor(IPlugBase* plugin, void* module, IBypass** lamp);
