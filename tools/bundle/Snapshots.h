#pragma once

// The pictures hosts show of a plug-in before loading it: one per class and scale, in
// Contents/Resources/Snapshots/, named after the class id.

#include <string>

namespace halvane::bundle {

constexpr int kSnapshotScales[] = {1, 2};

// "Snapshots/<CID>_snapshot.png", "Snapshots/<CID>_snapshot_2.0x.png": relative to the bundle's
// Resources folder, as the module info lists them.
std::string snapshotPath(const std::string& classId, int scale);

} // namespace halvane::bundle
