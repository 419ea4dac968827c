// Built with -mavx512f (no FMA). Only reached when the CPU reports AVX-512; the diffusers are
// streams of loads and stores, and eight samples a vector halve their instructions.

#include "Diffuser.h"

#include "DiffuserKernel.h"
#include "Oct.h"

void RunDiffuserAvx512(Diffuser& run) {
    diffuser::Run<Oct>(run);
}
