#pragma once

#include <vector>

#include "IEditorRunLoop.h"
#include "base/source/fobject.h"
#include "pluginterfaces/gui/iplugview.h"

#if SMTG_OS_LINUX

// The editor's run loop over the host's Linux::IRunLoop: one host event handler per watched descriptor
// and one host timer per started timer, each forwarding to its client until stopped. Hosts iterate their
// handler lists while calling them, so a stop from inside a callback silences the handler at once but
// unregisters it with the host only at the next Flush (the view's next call) or on destruction.
// User-interface thread.
class IPlugVST3RunLoop : public IEditorRunLoop {
  public:
    explicit IPlugVST3RunLoop(Steinberg::Linux::IRunLoop* hostLoop);
    ~IPlugVST3RunLoop() override;
    IPlugVST3RunLoop(const IPlugVST3RunLoop&) = delete;
    IPlugVST3RunLoop& operator=(const IPlugVST3RunLoop&) = delete;

    bool WatchDescriptor(int fd, IEditorRunLoopClient* client) override;
    bool StartTimer(int periodMs, IEditorRunLoopClient* client) override;
    void Stop(IEditorRunLoopClient* client) override;
    // Unregisters what was stopped from inside a callback.
    void Flush();

    // The host's loop: the frame's, else the host context's; null when the host offers none.
    static Steinberg::Linux::IRunLoop* Find(Steinberg::IPlugFrame* frame, Steinberg::FUnknown* hostContext);

  private:
    class Handler;

    void Unregister(Handler* handler);

    Steinberg::IPtr<Steinberg::Linux::IRunLoop> hostLoop_;
    std::vector<Steinberg::IPtr<Handler>> handlers_; // registered with the host
    std::vector<Steinberg::IPtr<Handler>> stopped_;  // silenced, still registered
    int callbackDepth_ = 0;
};

#else

// Windows hosts drive editor windows through the system's own message loop: nothing to adapt.
class IPlugVST3RunLoop {
  public:
    void Flush() {}
};

#endif
