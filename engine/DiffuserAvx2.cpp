// Built with -mavx2 (no FMA: products and sums stay separately rounded). Only reached when the
// CPU reports AVX2; everything here is file-local but the one entry point.

#include "Diffuser.h"

#include "DiffuserKernel.h"
#include "Quad.h"

void RunDiffuserAvx2(Diffuser& run) {
    diffuser::Run<Quad>(run);
}
