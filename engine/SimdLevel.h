#pragma once

// The widest instruction set the signal path's kernels may use on this CPU. Every level computes
// the same IEEE operations on the same values, so the choice changes speed, never a bit.
enum class SimdLevel : int {
    kSse2 = 0,   // every x86-64
    kAvx2 = 1,   // four doubles a vector
    kAvx512 = 2, // eight doubles a vector where that helps; elsewhere AVX2's four with 32 registers
};

SimdLevel BestSimdLevel();
