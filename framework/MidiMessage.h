#pragma once

#include <cstdint>

// One short MIDI message at a sample offset within the block.
struct MidiMessage {
    int offset = 0;
    uint8_t status = 0;
    uint8_t data1 = 0;
    uint8_t data2 = 0;
};
