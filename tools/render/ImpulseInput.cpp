#include "ImpulseInput.h"

#include "AudioFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include <stdlib.h>

namespace halvane::render {

ImpulseInput::~ImpulseInput() {
    if (!folder_.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }
}

bool ImpulseInput::create(int rate, std::string& error) {
    std::error_code ec;
    std::string pattern = (std::filesystem::temp_directory_path(ec) / "halvane-render-XXXXXX").string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    // mkdtemp makes a folder no one else has, where a name of our own choosing could be taken over.
    if (!mkdtemp(name.data())) {
        error = "cannot make a temporary folder for the impulse: " + std::string(std::strerror(errno));
        return false;
    }
    folder_ = name.data();
    impulse_ = folder_ + "/impulse.wav";
    response_ = folder_ + "/response.wav";
    AudioWriter writer;
    const double one = 1.0;
    return writer.open(impulse_, rate, SampleFormat::Float64, error) && writer.write(&one, &one, 1, error) &&
           writer.commit(error);
}

} // namespace halvane::render
