// The run loop a Linux host hands an editor view: which descriptor handlers it calls under each host
// quirk, when timers fire, callbacks that change the registrations, the references it keeps, and how the
// view finds it (the frame, or the host context).

#include "RunLoop.h"
#include "HostApplication.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <thread>

using namespace Steinberg;
using halvane::host::RunLoop;

namespace {

class FdHandler : public FObject, public Linux::IEventHandler {
  public:
    int calls = 0;
    std::function<void()> onCall;

    void PLUGIN_API onFDIsSet(Linux::FileDescriptor) override {
        ++calls;
        if (onCall)
            onCall();
    }

    OBJ_METHODS(FdHandler, FObject)
    DEF_INTERFACES_1(Linux::IEventHandler, FObject)
    REFCOUNT_METHODS(FObject)
};

class TimerHandler : public FObject, public Linux::ITimerHandler {
  public:
    int calls = 0;
    std::function<void()> onCall;
    bool inCall = false;
    bool* destroyedInCall = nullptr;

    ~TimerHandler() override {
        if (destroyedInCall)
            *destroyedInCall = inCall;
    }

    void PLUGIN_API onTimer() override {
        inCall = true;
        ++calls;
        if (onCall)
            onCall();
        inCall = false;
    }

    OBJ_METHODS(TimerHandler, FObject)
    DEF_INTERFACES_1(Linux::ITimerHandler, FObject)
    REFCOUNT_METHODS(FObject)
};

struct Pipe {
    int fds[2] = {-1, -1};
    Pipe() { EXPECT_EQ(::pipe(fds), 0); }
    ~Pipe() {
        ::close(fds[0]);
        ::close(fds[1]);
    }
    int readEnd() const { return fds[0]; }
    void put() const { EXPECT_EQ(::write(fds[1], "x", 1), 1); }
};

using Ms = std::chrono::milliseconds;

} // namespace

TEST(RunLoop, CallsDescriptorHandlersAsTheHostQuirkSays) {
    struct Case {
        RunLoop::FdCalls calls;
        int whenIdle;     // calls in a turn with nothing to read
        int whenReadable; // calls in a turn with a byte waiting
    };
    for (const Case c : {Case{RunLoop::FdCalls::WhenReadable, 0, 1}, Case{RunLoop::FdCalls::Never, 0, 0},
                         Case{RunLoop::FdCalls::EveryTurn, 1, 1}}) {
        SCOPED_TRACE(static_cast<int>(c.calls));
        auto loop = owned(new RunLoop());
        loop->setFdCalls(c.calls);
        auto handler = owned(new FdHandler());
        Pipe pipe;
        ASSERT_EQ(loop->registerEventHandler(handler, pipe.readEnd()), kResultOk);
        EXPECT_EQ(loop->runOnce(0), c.whenIdle);
        EXPECT_EQ(handler->calls, c.whenIdle);
        pipe.put();
        handler->calls = 0;
        EXPECT_EQ(loop->runOnce(0), c.whenReadable);
        EXPECT_EQ(handler->calls, c.whenReadable);
        EXPECT_EQ(loop->fdCallCount(), static_cast<std::uint64_t>(c.whenIdle + c.whenReadable));
        EXPECT_EQ(loop->timerCallCount(), 0u);
    }
}

TEST(RunLoop, TimersFireWhenDueAtMostOnceATurn) {
    auto loop = owned(new RunLoop());
    auto timer = owned(new TimerHandler());
    ASSERT_EQ(loop->registerTimer(timer, 20), kResultOk);
    EXPECT_EQ(loop->runOnce(0), 0) << "not due yet";

    // A long wait ends when the timer falls due, not at its own end.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(loop->runOnce(5000), 1);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, Ms(19));
    EXPECT_LT(waited, Ms(2000));
    EXPECT_EQ(timer->calls, 1);

    // Far behind: one call, no burst, and the next one a period later.
    std::this_thread::sleep_for(Ms(100));
    EXPECT_EQ(loop->runOnce(0), 1);
    EXPECT_EQ(loop->runOnce(0), 0);
    EXPECT_EQ(timer->calls, 2);

    // Held, a due timer neither fires nor cuts a wait short; released, it fires once.
    loop->holdTimers(true);
    std::this_thread::sleep_for(Ms(25));
    EXPECT_EQ(loop->runOnce(0), 0);
    const auto heldFrom = std::chrono::steady_clock::now();
    EXPECT_EQ(loop->runOnce(60), 0);
    EXPECT_GE(std::chrono::steady_clock::now() - heldFrom, Ms(59));
    loop->holdTimers(false);
    EXPECT_EQ(loop->runOnce(0), 1);
    EXPECT_EQ(loop->runOnce(0), 0);
    EXPECT_EQ(timer->calls, 3);
    EXPECT_EQ(loop->timerCallCount(), 3u);
    EXPECT_EQ(loop->fdCallCount(), 0u);

    EXPECT_EQ(loop->unregisterTimer(timer), kResultOk);
    std::this_thread::sleep_for(Ms(25));
    EXPECT_EQ(loop->runOnce(0), 0);
}

TEST(RunLoop, CallbacksMayChangeTheRegistrations) {
    auto loop = owned(new RunLoop());
    Pipe pipe;
    pipe.put();

    // Two descriptor handlers ready in one turn: the first takes the second away and adds a third.
    auto first = owned(new FdHandler());
    auto second = owned(new FdHandler());
    auto third = owned(new FdHandler());
    first->onCall = [&] {
        loop->unregisterEventHandler(second);
        loop->registerEventHandler(third, pipe.readEnd());
    };
    loop->registerEventHandler(first, pipe.readEnd());
    loop->registerEventHandler(second, pipe.readEnd());
    EXPECT_EQ(loop->runOnce(0), 1);
    EXPECT_EQ(second->calls, 0) << "removed during the turn";
    EXPECT_EQ(third->calls, 0) << "added during the turn";
    EXPECT_EQ(loop->eventHandlerCount(), 2u);
    first->onCall = nullptr;
    EXPECT_EQ(loop->runOnce(0), 2);
    EXPECT_EQ(third->calls, 1);

    // A timer whose only owner is the loop unregisters itself: it lives until its call returns.
    loop->unregisterEventHandler(first);
    loop->unregisterEventHandler(third);
    bool destroyedInCall = true;
    auto* self = new TimerHandler();
    self->destroyedInCall = &destroyedInCall;
    self->onCall = [&] { loop->unregisterTimer(self); };
    loop->registerTimer(self, 1);
    self->release();
    std::this_thread::sleep_for(Ms(2));
    EXPECT_EQ(loop->runOnce(0), 1);
    EXPECT_FALSE(destroyedInCall);
    EXPECT_EQ(loop->timerCount(), 0u);
}

TEST(RunLoop, KeepsAReferencePerRegistration) {
    auto handler = owned(new FdHandler());
    auto timer = owned(new TimerHandler());
    {
        auto loop = owned(new RunLoop());
        EXPECT_EQ(loop->registerEventHandler(nullptr, 0), kInvalidArgument);
        EXPECT_EQ(loop->registerEventHandler(handler, -1), kInvalidArgument);
        EXPECT_EQ(loop->registerTimer(nullptr, 10), kInvalidArgument);
        EXPECT_EQ(loop->registerTimer(timer, 0), kInvalidArgument);
        EXPECT_EQ(loop->unregisterEventHandler(handler), kResultFalse);
        EXPECT_EQ(loop->unregisterTimer(timer), kResultFalse);

        ASSERT_EQ(loop->registerEventHandler(handler, 0), kResultOk);
        ASSERT_EQ(loop->registerEventHandler(handler, 1), kResultOk);
        ASSERT_EQ(loop->registerTimer(timer, 10), kResultOk);
        EXPECT_EQ(loop->eventHandlerCount(), 2u);
        EXPECT_EQ(loop->timerCount(), 1u);
        EXPECT_EQ(handler->getRefCount(), 3);
        EXPECT_EQ(timer->getRefCount(), 2);

        // One unregistration takes every registration of the handler.
        EXPECT_EQ(loop->unregisterEventHandler(handler), kResultOk);
        EXPECT_EQ(loop->eventHandlerCount(), 0u);
        EXPECT_EQ(handler->getRefCount(), 1);
    }
    EXPECT_EQ(timer->getRefCount(), 1) << "the loop lets go of what is left when it goes";
}

TEST(RunLoop, IsFoundThroughTheFrameOrTheHostContext) {
    auto loop = owned(new RunLoop());
    IPlugFrame* frame = loop;
    FUnknownPtr<Linux::IRunLoop> viaFrame(frame);
    ASSERT_TRUE(viaFrame);
    EXPECT_EQ(static_cast<Linux::IRunLoop*>(viaFrame), static_cast<Linux::IRunLoop*>(loop));

    // Hosts that offer it through the context instead.
    auto context = owned(new halvane::host::HostApplication("test host"));
    FUnknown* unknown = static_cast<Vst::IHostApplication*>(context);
    EXPECT_FALSE(FUnknownPtr<Linux::IRunLoop>(unknown));
    context->setRunLoop(loop);
    FUnknownPtr<Linux::IRunLoop> viaContext(unknown);
    EXPECT_EQ(static_cast<Linux::IRunLoop*>(viaContext), static_cast<Linux::IRunLoop*>(loop));
    EXPECT_TRUE(FUnknownPtr<Vst::IHostApplication>(unknown));

    // Resize requests are recorded and answered by the host's handler.
    ViewRect asked(0, 0, 600, 500);
    EXPECT_EQ(frame->resizeView(nullptr, &asked), kResultOk);
    loop->setResizeHandler(
        [](IPlugView*, const ViewRect& r) { return r.getWidth() == 700 ? kResultTrue : kResultFalse; });
    ViewRect wider(0, 0, 700, 500);
    EXPECT_EQ(frame->resizeView(nullptr, &wider), kResultTrue);
    EXPECT_EQ(frame->resizeView(nullptr, nullptr), kInvalidArgument);
    ASSERT_EQ(loop->resizeRequests().size(), 2u);
    EXPECT_EQ(loop->resizeRequests()[1].getWidth(), 700);
}
