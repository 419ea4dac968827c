#include "PresetFileLoader.h"

#include "BufferStream.h"

#include "public.sdk/source/vst/vstpresetfile.h"

#include <cctype>
#include <cstring>
#include <fstream>
#include <iterator>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace halvane::render {

namespace {

// Header: 'VST3', version, 32 characters of class id, offset of the chunk list.
constexpr size_t kHeaderSize = 4 + 4 + 32 + 8;
constexpr size_t kMaxFileSize = 64 << 20;

bool sliceOf(const std::vector<char>& bytes, const PresetFile::Entry* entry, std::vector<char>& slice) {
    if (!entry || entry->offset < 0 || entry->size < 0 || static_cast<uint64>(entry->offset) > bytes.size() ||
        static_cast<uint64>(entry->size) > bytes.size() - static_cast<uint64>(entry->offset))
        return false;
    const auto begin = bytes.begin() + static_cast<std::ptrdiff_t>(entry->offset);
    slice.assign(begin, begin + static_cast<std::ptrdiff_t>(entry->size));
    return true;
}

} // namespace

bool PresetFileLoader::load(const std::string& path, PresetFileContents& contents, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open the preset file " + path;
        return false;
    }
    std::vector<char> bytes;
    char piece[4096];
    while (in.read(piece, sizeof(piece)) || in.gcount() > 0) {
        bytes.insert(bytes.end(), piece, piece + in.gcount());
        if (bytes.size() > kMaxFileSize) {
            error = path + " is not a VST 3 preset file (far too large)";
            return false;
        }
    }
    if (in.bad()) {
        error = "cannot read the preset file " + path;
        return false;
    }
    if (!parse(bytes, contents, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

bool PresetFileLoader::parse(const std::vector<char>& bytes, PresetFileContents& contents,
                             std::string& error) {
    contents = PresetFileContents();
    if (bytes.size() < 4 || std::memcmp(bytes.data(), getChunkID(kHeader), 4) != 0) {
        error = "not a VST 3 preset file (it does not start with \"VST3\")";
        return false;
    }
    if (bytes.size() < kHeaderSize) {
        error = "the preset file is cut short (its header is incomplete)";
        return false;
    }
    contents.classId.assign(bytes.data() + 8, 32);
    for (char& c : contents.classId) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) {
            error = "not a VST 3 preset file (its class id is not 32 hex digits)";
            return false;
        }
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }

    // Short reads fail, so the SDK's reader stops at the end of the file instead of using the
    // bytes it did not get.
    IPtr<host::BufferStream> stream =
        owned(new host::BufferStream(bytes, host::BufferStream::ShortRead::Fails));
    PresetFile file(stream);
    if (!file.readChunkList()) {
        error = "the preset file is cut short or damaged (its chunk list is missing)";
        return false;
    }
    if (!file.contains(kComponentState)) {
        error = "the preset file holds no component state";
        return false;
    }
    if (!sliceOf(bytes, file.getEntry(kComponentState), contents.componentState)) {
        error = "the preset file is cut short (its component state runs past the end)";
        return false;
    }
    if (file.contains(kControllerState) &&
        !sliceOf(bytes, file.getEntry(kControllerState), contents.controllerState)) {
        error = "the preset file is cut short (its controller state runs past the end)";
        return false;
    }
    return true;
}

} // namespace halvane::render
