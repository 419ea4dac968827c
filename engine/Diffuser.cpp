#include "Diffuser.h"

#include "DiffuserKernel.h"
#include "Pair.h"

void RunDiffuser(Diffuser& run) {
    diffuser::Run<Pair>(run);
}
