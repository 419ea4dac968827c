#pragma once

#ifndef _WIN32
#include <mutex>
#endif

// A lock the same thread may re-enter: a critical section on Windows, a recursive mutex elsewhere.
// The Windows headers stay in the .cpp file: everything that holds a lock includes this one.
class RecursiveLock {
  public:
    RecursiveLock();
    ~RecursiveLock();
    RecursiveLock(const RecursiveLock&) = delete;
    RecursiveLock& operator=(const RecursiveLock&) = delete;
    void Enter();
    void Leave();

  private:
#ifdef _WIN32
    // A CRITICAL_SECTION's storage (checked against its size where it is used).
    alignas(void*) unsigned char section_[40];
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
