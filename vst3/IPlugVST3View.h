#pragma once

#include <memory>

#include "public.sdk/source/common/pluginview.h"

class IPlugVST3;
class IPlugVST3RunLoop;

// The view a host embeds the editor through. It opens and closes the plug-in's editor window inside the
// host's parent and relays sizes; the editor itself lives as long as the plug-in. The view holds one
// reference on the plug-in for its whole life, so the plug-in outlives it. Host's user-interface thread;
// takes no lock. Every call answers with a result code, whatever order the host calls in.
class IPlugVST3View : public Steinberg::CPluginView {
  public:
    explicit IPlugVST3View(IPlugVST3* plug);
    ~IPlugVST3View() override;

    Steinberg::tresult PLUGIN_API isPlatformTypeSupported(Steinberg::FIDString type) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API attached(void* parent, Steinberg::FIDString type) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API removed() SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API getSize(Steinberg::ViewRect* size) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API onSize(Steinberg::ViewRect* newSize) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API setFrame(Steinberg::IPlugFrame* frame) SMTG_OVERRIDE;
    // kResultFalse, except while a text entry of the editor is open: the key goes to it (kResultTrue),
    // for hosts that take keys from the window before it sees them.
    Steinberg::tresult PLUGIN_API onKeyDown(Steinberg::char16 key, Steinberg::int16 keyCode,
                                            Steinberg::int16 modifiers) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API onKeyUp(Steinberg::char16 key, Steinberg::int16 keyCode,
                                          Steinberg::int16 modifiers) SMTG_OVERRIDE;

    // The plug-in asks the host for a new size; the host's onSize ends the request.
    void RequestResize(int width, int height);

  private:
    Steinberg::tresult Key(Steinberg::char16 key, Steinberg::int16 keyCode, bool down);
    // Closes the window and tells the plug-in, once, whichever of removed, setFrame(null) or the
    // view's end comes first.
    void Close();
    // What a stop inside one of the run loop's callbacks left to unregister.
    void FlushRunLoop();

    IPlugVST3* plug_;
    bool resizePending_ = false;
    bool open_ = false; // attached with a window or for another type, not yet closed
    std::unique_ptr<IPlugVST3RunLoop> runLoop_;
};
