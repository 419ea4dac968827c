// Built with -mavx2 (no FMA: products and sums stay separately rounded). Only reached when the
// CPU reports AVX2; everything here is file-local but the one entry point.

#include "LoopFeed.h"

#include "LoopFeedKernel.h"
#include "Quad.h"

void RunLoopFeedAvx2(LoopFeed& run) {
    loopfeed::Run<Quad>(run);
}
