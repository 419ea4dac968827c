// Built with -mavx512f -mavx512vl (no FMA): the AVX2 operations, with twice the registers, so the
// group's state no longer spills. Only reached when the CPU reports AVX-512VL.

#include "WetPath.h"

#include "WetPathQuad.h"

void RunWetPathAvx512(WetPath& path) {
    wetpath::Dispatch<QuadPath>(path);
}
