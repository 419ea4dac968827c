#include "IPlugVST3RunLoop.h"

#if SMTG_OS_LINUX

#include <algorithm>

using namespace Steinberg;

// One registration with the host: an fd handler or a timer, forwarding to its client while it has one.
class IPlugVST3RunLoop::Handler : public FObject, public Linux::IEventHandler, public Linux::ITimerHandler {
  public:
    Handler(IPlugVST3RunLoop* loop, IEditorRunLoopClient* client, bool timer)
        : loop_(loop), client_(client), timer_(timer) {}

    void PLUGIN_API onFDIsSet(Linux::FileDescriptor fd) override {
        if (client_ && !timer_)
            Call([&] { client_->OnDescriptor(fd); });
    }
    void PLUGIN_API onTimer() override {
        if (client_ && timer_)
            Call([&] { client_->OnTimer(); });
    }

    IEditorRunLoopClient* Client() const { return client_; }
    bool IsTimer() const { return timer_; }
    void Silence() { client_ = nullptr; }

    OBJ_METHODS(Handler, FObject)
    DEFINE_INTERFACES
    DEF_INTERFACE(Linux::IEventHandler)
    DEF_INTERFACE(Linux::ITimerHandler)
    END_DEFINE_INTERFACES(FObject)
    REFCOUNT_METHODS(FObject)

  private:
    template <class F> void Call(F&& f) {
        IPtr<Handler> keep(this); // a stop inside the call must not free the handler under it
        ++loop_->callbackDepth_;
        f();
        --loop_->callbackDepth_;
    }

    IPlugVST3RunLoop* loop_;
    IEditorRunLoopClient* client_;
    bool timer_;
};

IPlugVST3RunLoop::IPlugVST3RunLoop(Linux::IRunLoop* hostLoop) : hostLoop_(hostLoop) {}

IPlugVST3RunLoop::~IPlugVST3RunLoop() {
    for (auto* list : {&handlers_, &stopped_}) {
        for (auto& handler : *list) {
            handler->Silence();
            Unregister(handler.get());
        }
        list->clear();
    }
}

Linux::IRunLoop* IPlugVST3RunLoop::Find(IPlugFrame* frame, FUnknown* hostContext) {
    Linux::IRunLoop* loop = nullptr;
    if (frame && frame->queryInterface(Linux::IRunLoop::iid, reinterpret_cast<void**>(&loop)) == kResultOk &&
        loop)
        return loop; // the reference queryInterface added is the caller's
    loop = nullptr;
    if (hostContext &&
        hostContext->queryInterface(Linux::IRunLoop::iid, reinterpret_cast<void**>(&loop)) == kResultOk)
        return loop;
    return nullptr;
}

bool IPlugVST3RunLoop::WatchDescriptor(int fd, IEditorRunLoopClient* client) {
    if (!hostLoop_ || !client)
        return false;
    IPtr<Handler> handler = owned(new Handler(this, client, false));
    if (hostLoop_->registerEventHandler(handler, fd) != kResultOk)
        return false;
    handlers_.push_back(handler);
    return true;
}

bool IPlugVST3RunLoop::StartTimer(int periodMs, IEditorRunLoopClient* client) {
    if (!hostLoop_ || !client || periodMs <= 0)
        return false;
    IPtr<Handler> handler = owned(new Handler(this, client, true));
    if (hostLoop_->registerTimer(handler, static_cast<Linux::TimerInterval>(periodMs)) != kResultOk)
        return false;
    handlers_.push_back(handler);
    return true;
}

void IPlugVST3RunLoop::Stop(IEditorRunLoopClient* client) {
    for (auto it = handlers_.begin(); it != handlers_.end();) {
        if ((*it)->Client() != client) {
            ++it;
            continue;
        }
        (*it)->Silence();
        if (callbackDepth_ > 0) {
            stopped_.push_back(*it);
        } else {
            Unregister(it->get());
        }
        it = handlers_.erase(it);
    }
}

void IPlugVST3RunLoop::Flush() {
    if (callbackDepth_ > 0)
        return;
    for (auto& handler : stopped_)
        Unregister(handler.get());
    stopped_.clear();
}

void IPlugVST3RunLoop::Unregister(Handler* handler) {
    if (handler->IsTimer())
        hostLoop_->unregisterTimer(handler);
    else
        hostLoop_->unregisterEventHandler(handler);
}

#endif
