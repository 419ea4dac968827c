#pragma once

#include <new>

#include "pluginterfaces/base/funknown.h"

// No exception may cross into the host. Every host call's body runs inside one of these: an
// allocation that fails answers kOutOfMemory, anything else kResultFalse (or the given fallback for
// calls that answer a value), and the instance stays as the body left it, which keeps it usable.
template <typename Body> Steinberg::tresult GuardHostCall(Body&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return Steinberg::kOutOfMemory;
    } catch (...) {
        return Steinberg::kResultFalse;
    }
}

template <typename Result, typename Body> Result GuardHostCall(Result fallback, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return fallback;
    }
}
