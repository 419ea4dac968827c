// Built with -mavx2 (no FMA: products and sums stay separately rounded). Only reached when the
// CPU reports AVX2; everything here is file-local but the one entry point.

#include "WetPath.h"

#include "WetPathQuad.h"

void RunWetPathAvx2(WetPath& path) {
    wetpath::Dispatch<QuadPath>(path);
}
