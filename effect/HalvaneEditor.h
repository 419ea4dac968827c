#pragma once

class IBypass;
class IGraphicsHeadless;
class IPlugBase;

// Builds the effect's 514 x 420 editor for `plugin`: the surface, the background and the 28 controls in
// attach order, the Mono Position slider hidden. The caller hands the surface to the plug-in. `lamp`
// receives the activity lamp. User-interface thread, during the plug-in's construction.
IGraphicsHeadless* BuildHalvaneEditor(IPlugBase* plugin, void* module, IBypass** lamp);
