#include "HostIdentification.h"

#include <cctype>
#include <cstring>

namespace {

struct HostKey {
    const char* text;
    int code;
};

// Searched in this order; the first key found decides.
constexpr HostKey kHostKeys[] = {
    {"brainwaveproducer", 29},
    {"cubase", 3},
    {"reaper", 1},
    {"nuendo", 4},
    {"cakewalk", 5},
    {"samplitude", 8},
    {"fruity", 7},
    {"live", 9},
    {"melodyne", 12},
    {"vstmanlib", 13},
    {"aulab", 14},
    {"forte", 15},
    {"chainer", 16},
    {"audition", 17},
    {"orion", 18},
    {"sawstudio", 20},
    {"logic", 21},
    {"digital", 22},
    {"audiomulch", 23},
    {"presonus", 24},
    {"acoustica", 25},
    {"garageband", 26},
    {"ardour", 27},
    {"wavelab", 28},
    {"gold", 30},
};

} // namespace

int HostCodeFromName(const char* name) {
    if (!name)
        return kHostUnknown;
    char lower[256];
    size_t n = 0;
    for (; n < sizeof(lower) - 1 && name[n] != '\0'; ++n) {
        lower[n] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[n])));
    }
    lower[n] = '\0';
    for (const HostKey& key : kHostKeys) {
        if (std::strstr(lower, key.text))
            return key.code;
    }
    return kHostUnknown;
}
