#include "RunLoop.h"

#include <poll.h>

#include <algorithm>

using namespace Steinberg;

namespace halvane::host {

namespace {

bool isReadable(const pollfd& p) {
    return (p.revents & (POLLIN | POLLHUP | POLLERR)) != 0;
}

} // namespace

RunLoop::~RunLoop() = default;

void RunLoop::watchHostFd(int fd, Callback onReadable) {
    hostFds_.push_back({fd, std::move(onReadable)});
}

void RunLoop::addHostTimer(int periodMs, Callback onDue) {
    const Clock::duration period = std::chrono::milliseconds(std::max(periodMs, 1));
    hostTimers_.push_back({period, Clock::now() + period, std::move(onDue)});
}

bool RunLoop::fdRegistered(std::uint64_t serial) const {
    return std::any_of(fdEntries_.begin(), fdEntries_.end(),
                       [serial](const FdEntry& e) { return e.serial == serial; });
}

RunLoop::TimerEntry* RunLoop::findTimer(std::uint64_t serial) {
    for (TimerEntry& t : timerEntries_)
        if (t.serial == serial)
            return &t;
    return nullptr;
}

int RunLoop::waitMs(Clock::time_point now, int limitMs) const {
    Clock::time_point first = now + std::chrono::milliseconds(limitMs);
    if (!timersHeld_)
        for (const TimerEntry& t : timerEntries_)
            first = std::min(first, t.due);
    for (const HostTimer& t : hostTimers_)
        first = std::min(first, t.due);
    if (first <= now)
        return 0;
    return static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(first - now).count());
}

int RunLoop::runOnce(int timeoutMs) {
    // The turn works on the registrations it starts with; callbacks may change them meanwhile.
    const std::vector<FdEntry> fds = fdEntries_;
    const size_t hostFdCount = hostFds_.size();
    std::vector<pollfd> polled;
    polled.reserve(fds.size() + hostFdCount);
    for (const FdEntry& e : fds)
        polled.push_back({e.fd, POLLIN, 0});
    for (const HostFd& h : hostFds_)
        polled.push_back({h.fd, POLLIN, 0});

    const int wait = waitMs(Clock::now(), std::max(timeoutMs, 0));
    if (::poll(polled.data(), polled.size(), wait) < 0)
        for (pollfd& p : polled)
            p.revents = 0; // interrupted by a signal: nothing is known to be readable

    int calls = 0;
    for (size_t i = 0; i < fds.size(); ++i) {
        const bool call =
            fdCalls_ == FdCalls::EveryTurn || (fdCalls_ == FdCalls::WhenReadable && isReadable(polled[i]));
        if (call && fdRegistered(fds[i].serial)) {
            fds[i].handler->onFDIsSet(fds[i].fd);
            ++calls;
            ++fdCallsMade_;
        }
    }
    for (size_t i = 0; i < hostFdCount; ++i) {
        if (isReadable(polled[fds.size() + i])) {
            const Callback onReadable = hostFds_[i].onReadable;
            onReadable();
            ++calls;
        }
    }

    const Clock::time_point now = Clock::now();
    // A timer fires at most once a turn; one that fell far behind does not fire in a burst.
    const auto advance = [now](Clock::time_point& due, Clock::duration period) {
        due += period;
        if (due <= now)
            due = now + period;
    };
    std::vector<std::uint64_t> timers;
    if (!timersHeld_)
        for (const TimerEntry& t : timerEntries_)
            timers.push_back(t.serial);
    for (std::uint64_t serial : timers) {
        TimerEntry* t = findTimer(serial);
        if (!t || t->due > now)
            continue;
        advance(t->due, t->period);
        const IPtr<Linux::ITimerHandler> handler = t->handler; // alive even if it unregisters itself
        handler->onTimer();
        ++calls;
        ++timerCallsMade_;
    }
    const size_t hostTimerCount = hostTimers_.size();
    for (size_t i = 0; i < hostTimerCount; ++i) {
        HostTimer& t = hostTimers_[i];
        if (t.due > now)
            continue;
        advance(t.due, t.period);
        const Callback onDue = t.onDue;
        onDue();
        ++calls;
    }
    return calls;
}

void RunLoop::runFor(int ms) {
    runUntil([] { return false; }, ms);
}

bool RunLoop::runUntil(const std::function<bool()>& done, int ms) {
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        if (done())
            return true;
        const Clock::time_point now = Clock::now();
        if (now >= end)
            return false;
        runOnce(static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(end - now).count()));
    }
}

tresult PLUGIN_API RunLoop::resizeView(IPlugView* view, ViewRect* newSize) {
    if (!newSize)
        return kInvalidArgument;
    resizeRequests_.push_back(*newSize);
    return resizeHandler_ ? resizeHandler_(view, *newSize) : kResultOk;
}

tresult PLUGIN_API RunLoop::registerEventHandler(Linux::IEventHandler* handler, Linux::FileDescriptor fd) {
    if (!handler || fd < 0)
        return kInvalidArgument;
    fdEntries_.push_back({nextSerial_++, IPtr<Linux::IEventHandler>(handler), fd});
    return kResultOk;
}

tresult PLUGIN_API RunLoop::unregisterEventHandler(Linux::IEventHandler* handler) {
    if (!handler)
        return kInvalidArgument;
    const auto removed = std::remove_if(fdEntries_.begin(), fdEntries_.end(),
                                        [handler](const FdEntry& e) { return e.handler == handler; });
    if (removed == fdEntries_.end())
        return kResultFalse;
    fdEntries_.erase(removed, fdEntries_.end());
    return kResultOk;
}

tresult PLUGIN_API RunLoop::registerTimer(Linux::ITimerHandler* handler, Linux::TimerInterval milliseconds) {
    if (!handler || milliseconds == 0)
        return kInvalidArgument;
    // A day at most, so the arithmetic on the clock cannot overflow.
    const Clock::duration period =
        std::chrono::milliseconds(std::min<Linux::TimerInterval>(milliseconds, 86400000));
    timerEntries_.push_back(
        {nextSerial_++, IPtr<Linux::ITimerHandler>(handler), period, Clock::now() + period});
    return kResultOk;
}

tresult PLUGIN_API RunLoop::unregisterTimer(Linux::ITimerHandler* handler) {
    if (!handler)
        return kInvalidArgument;
    const auto removed = std::remove_if(timerEntries_.begin(), timerEntries_.end(),
                                        [handler](const TimerEntry& t) { return t.handler == handler; });
    if (removed == timerEntries_.end())
        return kResultFalse;
    timerEntries_.erase(removed, timerEntries_.end());
    return kResultOk;
}

} // namespace halvane::host
