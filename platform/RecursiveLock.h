#pragma once

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <mutex>
#endif

// A lock the same thread may re-enter: a critical section on Windows, a recursive mutex elsewhere.
class RecursiveLock {
  public:
#ifdef _WIN32
    RecursiveLock() {
        InitializeCriticalSection(&section_);
    }
    ~RecursiveLock() {
        DeleteCriticalSection(&section_);
    }
    void Enter() {
        EnterCriticalSection(&section_);
    }
    void Leave() {
        LeaveCriticalSection(&section_);
    }
#else
    RecursiveLock() = default;
    ~RecursiveLock() = default;
    void Enter() {
        mutex_.lock();
    }
    void Leave() {
        mutex_.unlock();
    }
#endif
    RecursiveLock(const RecursiveLock&) = delete;
    RecursiveLock& operator=(const RecursiveLock&) = delete;

  private:
#ifdef _WIN32
    CRITICAL_SECTION section_;
#else
    std::recursive_mutex mutex_;
#endif
};

// Holds a RecursiveLock for the lifetime of a scope.
class LockGuard {
  public:
    explicit LockGuard(RecursiveLock& lock) : lock_(lock) { lock_.Enter(); }
    ~LockGuard() { lock_.Leave(); }
    LockGuard(const LockGuard&) = delete;
    LockGuard& operator=(const LockGuard&) = delete;

  private:
    RecursiveLock& lock_;
};
