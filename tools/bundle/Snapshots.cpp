#include "Snapshots.h"

namespace halvane::bundle {

std::string snapshotPath(const std::string& classId, int scale) {
    std::string path = "Snapshots/" + classId + "_snapshot";
    if (scale != 1)
        path += "_" + std::to_string(scale) + ".0x";
    return path + ".png";
}

} // namespace halvane::bundle
