#pragma once

// The host's run loop as an editor window without a thread of its own sees it: a periodic timer and a
// file descriptor to watch. The view implements it over the host's interface; another plug-in format
// whose hosts drive editors by idle calls would need only another small adapter. User-interface thread.
class IEditorRunLoopClient {
  public:
    virtual ~IEditorRunLoopClient() = default;
    // The timer fired. Hosts may call late, early or more than once.
    virtual void OnTimer() = 0;
    // The descriptor may have something to read; hosts also call when it has not, or never call.
    virtual void OnDescriptor(int fd) = 0;
};

class IEditorRunLoop {
  public:
    virtual ~IEditorRunLoop() = default;
    // False when the host refused.
    virtual bool WatchDescriptor(int fd, IEditorRunLoopClient* client) = 0;
    virtual bool StartTimer(int periodMs, IEditorRunLoopClient* client) = 0;
    // No more calls reach `client` from the moment this returns; the host itself is told at once, or at
    // the next call the view gets when this runs inside one of the loop's own callbacks.
    virtual void Stop(IEditorRunLoopClient* client) = 0;
};
