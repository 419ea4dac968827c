#pragma once

// The X display of the tests that open windows: the virtual one ctest starts (cmake/xvfb.sh records it
// in the file HALVANE_X_DISPLAY_FILE names), else the caller's own DISPLAY; empty when there is none.

#include <cstdlib>
#include <fstream>
#include <string>

namespace halvane::test {

inline std::string TestDisplay() {
    if (const char* file = std::getenv("HALVANE_X_DISPLAY_FILE")) {
        std::ifstream state(file);
        for (std::string line; std::getline(state, line);)
            if (line.rfind("DISPLAY=", 0) == 0)
                return line.substr(8);
        return {};
    }
    const char* display = std::getenv("DISPLAY");
    return display ? display : "";
}

} // namespace halvane::test

// In a test body: skips it, saying why, when no display is there.
#define REQUIRE_TEST_DISPLAY(name)                                                                           \
    const std::string name = halvane::test::TestDisplay();                                                   \
    if (name.empty())                                                                                        \
    GTEST_SKIP() << "no X display: run through ctest, which starts one, or set DISPLAY"
