#include "SimdLevel.h"

SimdLevel BestSimdLevel() {
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl"))
        return SimdLevel::kAvx512;
    if (__builtin_cpu_supports("avx2"))
        return SimdLevel::kAvx2;
#endif
    return SimdLevel::kSse2;
}
