#pragma once

#include "StateChunk.h"

// One preset slot: made or not, its name, and its parameter values in the state format.
struct Preset {
    bool initialised = false;
    char name[256] = {};
    StateChunk data;
};
