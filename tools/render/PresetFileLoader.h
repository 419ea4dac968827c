#pragma once

// A VST 3 preset file (.vstpreset) read the way hosts read one: the header with the class id of
// the effect it was saved for, the chunk list at its end, and the component (and, if present,
// controller) state the list points at. Every offset is checked against the file, so a damaged
// file is reported, never read past.

#include <string>
#include <vector>

namespace halvane::render {

struct PresetFileContents {
    std::string classId; // 32 hex digits, as hosts print class ids
    std::vector<char> componentState;
    std::vector<char> controllerState; // empty when the file holds none
};

class PresetFileLoader {
  public:
    // False with a one-line reason when the file cannot be read, is not a preset file, is cut
    // short or holds no component state.
    static bool load(const std::string& path, PresetFileContents& contents, std::string& error);
    static bool parse(const std::vector<char>& bytes, PresetFileContents& contents, std::string& error);
};

} // namespace halvane::render
