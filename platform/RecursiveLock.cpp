#include "RecursiveLock.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

static_assert(sizeof(CRITICAL_SECTION) <= 40 && alignof(CRITICAL_SECTION) <= alignof(void*),
              "the lock's storage holds a critical section");

namespace {
CRITICAL_SECTION* Section(unsigned char* storage) {
    return reinterpret_cast<CRITICAL_SECTION*>(storage);
}
} // namespace

RecursiveLock::RecursiveLock() {
    InitializeCriticalSection(Section(section_));
}
RecursiveLock::~RecursiveLock() {
    DeleteCriticalSection(Section(section_));
}
void RecursiveLock::Enter() {
    EnterCriticalSection(Section(section_));
}
void RecursiveLock::Leave() {
    LeaveCriticalSection(Section(section_));
}
#else
RecursiveLock::RecursiveLock() = default;
RecursiveLock::~RecursiveLock() = default;
void RecursiveLock::Enter() {
    mutex_.lock();
}
void RecursiveLock::Leave() {
    mutex_.unlock();
}
#endif
