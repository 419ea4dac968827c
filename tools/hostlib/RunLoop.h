#pragma once

// What a Linux host hands an editor view as its frame: IPlugFrame together with Linux::IRunLoop, over
// poll on one thread. The plug-in registers file descriptors and timers; each turn of the loop polls the
// descriptors, calls onFDIsSet for the readable ones and onTimer for the timers that are due. A callback
// may register or unregister handlers (its own included): a turn works on the handlers registered when
// it began and skips those removed since. Handlers are kept with a reference until unregistered or the
// loop goes. The host's own descriptors and timers (its display, its audio pacing) take part in the same
// poll without counting as the plug-in's and without the quirks below.

#include "base/source/fobject.h"
#include "pluginterfaces/gui/iplugview.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

namespace halvane::host {

class RunLoop : public Steinberg::FObject, public Steinberg::IPlugFrame, public Steinberg::Linux::IRunLoop {
  public:
    // When the plug-in's descriptor handlers are called. Hosts differ: some never call them (the
    // plug-in must then read its descriptor on its timer), some call them on every turn of their loop.
    enum class FdCalls { WhenReadable, Never, EveryTurn };

    using Callback = std::function<void()>;
    // Answers resizeView for the plug-in (a host resizes its window and calls the view's onSize).
    using ResizeHandler =
        std::function<Steinberg::tresult(Steinberg::IPlugView*, const Steinberg::ViewRect&)>;

    RunLoop() = default;
    ~RunLoop() override;

    void setFdCalls(FdCalls calls) { fdCalls_ = calls; }
    // Without a handler resizeView answers kResultOk after recording the size.
    void setResizeHandler(ResizeHandler handler) { resizeHandler_ = std::move(handler); }
    const std::vector<Steinberg::ViewRect>& resizeRequests() const { return resizeRequests_; }

    // The plug-in's registrations now.
    size_t eventHandlerCount() const { return fdEntries_.size(); }
    size_t timerCount() const { return timerEntries_.size(); }
    // The calls made to the plug-in's descriptor handlers and timers so far, so a test can count ticks.
    std::uint64_t fdCallCount() const { return fdCallsMade_; }
    std::uint64_t timerCallCount() const { return timerCallsMade_; }
    // While held, the plug-in's timers do not fire (a host busy elsewhere); released, each fires when
    // due, once, as after any delay. Lets a test see what happens between two ticks.
    void holdTimers(bool held) { timersHeld_ = held; }

    // The host's own: called when fd is readable, or every periodMs. Never removed; they live as long
    // as the loop.
    void watchHostFd(int fd, Callback onReadable);
    void addHostTimer(int periodMs, Callback onDue);

    // One turn: waits for a descriptor at most timeoutMs (less when a timer falls due first; 0: does
    // not wait), then makes the calls that are due. Returns how many calls it made. A signal ends the
    // wait early.
    int runOnce(int timeoutMs);
    // Turns until ms have passed.
    void runFor(int ms);
    // Turns until done() answers true or ms have passed; returns done()'s last answer.
    bool runUntil(const std::function<bool()>& done, int ms);

    //--- IPlugFrame: records the size, then asks the resize handler.
    Steinberg::tresult PLUGIN_API resizeView(Steinberg::IPlugView* view,
                                             Steinberg::ViewRect* newSize) SMTG_OVERRIDE;

    //--- Linux::IRunLoop. Null handlers, negative descriptors and a zero period are kInvalidArgument.
    // The same handler may be registered more than once; each registration counts.
    Steinberg::tresult PLUGIN_API registerEventHandler(Steinberg::Linux::IEventHandler* handler,
                                                       Steinberg::Linux::FileDescriptor fd) SMTG_OVERRIDE;
    // Removes every registration of the handler; kResultFalse when it had none.
    Steinberg::tresult PLUGIN_API unregisterEventHandler(Steinberg::Linux::IEventHandler* handler)
        SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API registerTimer(Steinberg::Linux::ITimerHandler* handler,
                                                Steinberg::Linux::TimerInterval milliseconds) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API unregisterTimer(Steinberg::Linux::ITimerHandler* handler) SMTG_OVERRIDE;

    OBJ_METHODS(RunLoop, FObject)
    DEFINE_INTERFACES
    DEF_INTERFACE(Steinberg::IPlugFrame)
    DEF_INTERFACE(Steinberg::Linux::IRunLoop)
    END_DEFINE_INTERFACES(FObject)
    REFCOUNT_METHODS(FObject)

  private:
    using Clock = std::chrono::steady_clock;

    struct FdEntry {
        std::uint64_t serial;
        Steinberg::IPtr<Steinberg::Linux::IEventHandler> handler;
        int fd;
    };
    struct TimerEntry {
        std::uint64_t serial;
        Steinberg::IPtr<Steinberg::Linux::ITimerHandler> handler;
        Clock::duration period;
        Clock::time_point due;
    };
    struct HostFd {
        int fd;
        Callback onReadable;
    };
    struct HostTimer {
        Clock::duration period;
        Clock::time_point due;
        Callback onDue;
    };

    bool fdRegistered(std::uint64_t serial) const;
    TimerEntry* findTimer(std::uint64_t serial);
    // Milliseconds until the first timer falls due, at most limitMs (rounded up, so a wait never ends
    // just before the timer).
    int waitMs(Clock::time_point now, int limitMs) const;

    FdCalls fdCalls_ = FdCalls::WhenReadable;
    ResizeHandler resizeHandler_;
    std::vector<Steinberg::ViewRect> resizeRequests_;
    std::vector<FdEntry> fdEntries_;
    std::vector<TimerEntry> timerEntries_;
    std::vector<HostFd> hostFds_;
    std::vector<HostTimer> hostTimers_;
    std::uint64_t nextSerial_ = 1;
    std::uint64_t fdCallsMade_ = 0;
    std::uint64_t timerCallsMade_ = 0;
    bool timersHeld_ = false;
};

} // namespace halvane::host
