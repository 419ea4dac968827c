#include "AudioFile.h"

#include <sndfile.h>

#include <filesystem>
#include <system_error>

namespace halvane::render {

namespace {

std::string sndfileReason(SNDFILE* file) {
    const char* reason = sf_strerror(file);
    return reason && *reason ? reason : "unknown reason";
}

int sndfileFormat(SampleFormat format) {
    switch (format) {
    case SampleFormat::Float64:
        return SF_FORMAT_WAV | SF_FORMAT_DOUBLE;
    case SampleFormat::Pcm24:
        return SF_FORMAT_WAV | SF_FORMAT_PCM_24;
    case SampleFormat::Pcm16:
        return SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    case SampleFormat::Float32:
        break;
    }
    return SF_FORMAT_WAV | SF_FORMAT_FLOAT;
}

double* scratch(std::vector<double>& buffer, size_t samples) {
    if (buffer.size() < samples)
        buffer.resize(samples);
    return buffer.data();
}

} // namespace

AudioReader::~AudioReader() {
    close();
}

bool AudioReader::open(const std::string& path, std::string& error) {
    close();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        error = "no such file: " + path;
        return false;
    }
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        error = "cannot read " + path + ": " + sndfileReason(nullptr);
        return false;
    }
    if (info.channels < 1 || info.channels > 2) {
        error =
            path + " has " + std::to_string(info.channels) + " channels; only mono and stereo are rendered";
        sf_close(file);
        return false;
    }
    file_ = file;
    path_ = path;
    rate_ = info.samplerate;
    channels_ = info.channels;
    frames_ = static_cast<long long>(info.frames);
    return true;
}

void AudioReader::close() {
    if (file_)
        sf_close(file_);
    file_ = nullptr;
}

long long AudioReader::read(double* left, double* right, int count, std::string& error) {
    if (!file_ || count <= 0)
        return 0;
    double* frames = scratch(interleaved_, static_cast<size_t>(count) * static_cast<size_t>(channels_));
    const sf_count_t got = sf_readf_double(file_, frames, count);
    if (got < 0 || (got < count && sf_error(file_) != SF_ERR_NO_ERROR)) {
        error = "cannot read " + path_ + ": " + sndfileReason(file_);
        return -1;
    }
    for (sf_count_t i = 0; i < got; ++i) {
        left[i] = frames[i * channels_];
        right[i] = frames[i * channels_ + channels_ - 1];
    }
    return static_cast<long long>(got);
}

AudioWriter::~AudioWriter() {
    discard();
}

bool AudioWriter::open(const std::string& path, int rate, SampleFormat format, std::string& error) {
    discard();
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 2;
    info.format = sndfileFormat(format);
    if (!sf_format_check(&info)) {
        error = "libsndfile cannot write this format at " + std::to_string(rate) + " Hz";
        return false;
    }
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        error = "cannot write " + path + ": it is a folder";
        return false;
    }
    path_ = path;
    temporaryPath_ = path + ".part";
    SNDFILE* file = sf_open(temporaryPath_.c_str(), SFM_WRITE, &info);
    if (!file) {
        error = "cannot write " + temporaryPath_ + ": " + sndfileReason(nullptr);
        return false;
    }
    file_ = file;
    pending_ = true;
    sf_command(file_, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    return true;
}

bool AudioWriter::write(const double* left, const double* right, int count, std::string& error) {
    if (!file_) {
        error = "no output file open";
        return false;
    }
    if (count <= 0)
        return true;
    double* frames = scratch(interleaved_, static_cast<size_t>(count) * 2);
    for (int i = 0; i < count; ++i) {
        frames[2 * i] = left[i];
        frames[2 * i + 1] = right[i];
    }
    if (sf_writef_double(file_, frames, count) != count) {
        error = "cannot write " + temporaryPath_ + ": " + sndfileReason(file_);
        return false;
    }
    return true;
}

bool AudioWriter::commit(std::string& error) {
    if (!file_) {
        error = "no output file open";
        return false;
    }
    const int closed = sf_close(file_);
    file_ = nullptr;
    if (closed != 0) {
        error = "cannot finish " + temporaryPath_ + ": " + sf_error_number(closed);
        discard();
        return false;
    }
    std::error_code ec;
    std::filesystem::rename(temporaryPath_, path_, ec);
    if (ec) {
        error = "cannot move " + temporaryPath_ + " to " + path_ + ": " + ec.message();
        discard();
        return false;
    }
    pending_ = false;
    return true;
}

void AudioWriter::discard() {
    if (file_)
        sf_close(file_);
    file_ = nullptr;
    if (pending_) {
        std::error_code ignored;
        std::filesystem::remove(temporaryPath_, ignored);
    }
    pending_ = false;
}

} // namespace halvane::render
