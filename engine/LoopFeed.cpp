#include "LoopFeed.h"

#include "LoopFeedKernel.h"
#include "Pair.h"

void RunLoopFeed(LoopFeed& run) {
    loopfeed::Run<Pair>(run);
}
