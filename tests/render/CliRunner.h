#pragma once

// Runs the built halvane-render as a user would and reads the WAV files it writes: a work
// folder per test, WAV files written and read with libsndfile, the program's exit code and
// output captured.

#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#if !defined(_WIN32)
#include <sys/wait.h>
#endif

namespace halvane::render::test {

struct Wav {
    int rate = 0;
    int format = 0; // SF_FORMAT_* of the file
    std::vector<std::vector<double>> channels;

    size_t frames() const { return channels.empty() ? 0 : channels[0].size(); }
};

inline bool writeWav(const std::string& path, const Wav& wav) {
    SF_INFO info{};
    info.samplerate = wav.rate;
    info.channels = static_cast<int>(wav.channels.size());
    info.format = wav.format ? wav.format : SF_FORMAT_WAV | SF_FORMAT_DOUBLE;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file)
        return false;
    std::vector<double> frames;
    for (size_t i = 0; i < wav.frames(); ++i)
        for (const auto& channel : wav.channels)
            frames.push_back(channel[i]);
    const auto count = static_cast<sf_count_t>(wav.frames());
    const bool written = sf_writef_double(file, frames.data(), count) == count;
    return sf_close(file) == 0 && written;
}

inline Wav readWav(const std::string& path) {
    Wav wav;
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        ADD_FAILURE() << "cannot read " << path;
        return wav;
    }
    wav.rate = info.samplerate;
    wav.format = info.format;
    std::vector<double> frames(static_cast<size_t>(info.frames * info.channels));
    sf_readf_double(file, frames.data(), info.frames);
    sf_close(file);
    wav.channels.assign(static_cast<size_t>(info.channels),
                        std::vector<double>(static_cast<size_t>(info.frames)));
    for (size_t i = 0; i < static_cast<size_t>(info.frames); ++i)
        for (size_t c = 0; c < wav.channels.size(); ++c)
            wav.channels[c][i] = frames[i * wav.channels.size() + c];
    return wav;
}

struct Outcome {
    int code = -1;
    std::string out;
    std::string err;
};

class CliTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = std::filesystem::path(HALVANE_RENDER_WORK_DIR) /
               (std::string(info->test_suite_name()) + "." + info->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }

    void TearDown() override {
        // Kept after a failure, to look at.
        if (!HasFailure())
            std::filesystem::remove_all(dir_);
    }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    bool exists(const std::string& name) const { return std::filesystem::exists(dir_ / name); }

    // Files in the work folder, to show that a failed run left nothing behind.
    std::vector<std::string> files() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    Outcome run(const std::vector<std::string>& args) const {
        std::string command = quote(HALVANE_RENDER_PROGRAM);
        for (const std::string& arg : args)
            command += " " + quote(arg);
        command += " >" + quote(path("stdout.txt")) + " 2>" + quote(path("stderr.txt"));
        Outcome result;
        const int status = std::system(command.c_str());
#if defined(_WIN32)
        result.code = status;
#else
        result.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
        result.out = slurp(path("stdout.txt"));
        result.err = slurp(path("stderr.txt"));
        std::filesystem::remove(dir_ / "stdout.txt");
        std::filesystem::remove(dir_ / "stderr.txt");
        return result;
    }

  private:
    static std::string quote(const std::string& text) {
        std::string quoted = "\"";
        for (char c : text) {
            if (c == '"' || c == '\\' || c == '$' || c == '`')
                quoted += '\\';
            quoted += c;
        }
        return quoted + "\"";
    }

    static std::string slurp(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    std::filesystem::path dir_;
};

} // namespace halvane::render::test
