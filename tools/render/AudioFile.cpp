#include "AudioFile.h"

#include <sndfile.h>

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <type_traits>

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

// Frames per file access: large enough that the file is read and written in few calls, small
// enough to stay in the cache.
constexpr long long kChunkFrames = 16384;

sf_count_t readInterleaved(SNDFILE* file, double* frames, sf_count_t count) {
    return sf_readf_double(file, frames, count);
}
sf_count_t readInterleaved(SNDFILE* file, float* frames, sf_count_t count) {
    return sf_readf_float(file, frames, count);
}
sf_count_t writeInterleaved(SNDFILE* file, const double* frames, sf_count_t count) {
    return sf_writef_double(file, frames, count);
}
sf_count_t writeInterleaved(SNDFILE* file, const float* frames, sf_count_t count) {
    return sf_writef_float(file, frames, count);
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
    return readFrames(left, right, count, error);
}

long long AudioReader::read(float* left, float* right, int count, std::string& error) {
    return readFrames(left, right, count, error);
}

template <class T> bool AudioReader::fill(std::vector<T>& chunk, std::string& error) {
    chunk.resize(static_cast<size_t>(kChunkFrames * channels_));
    const sf_count_t got = readInterleaved(file_, chunk.data(), kChunkFrames);
    if (got < 0 || (got < kChunkFrames && sf_error(file_) != SF_ERR_NO_ERROR)) {
        error = "cannot read " + path_ + ": " + sndfileReason(file_);
        return false;
    }
    chunkIsFloat_ = std::is_same_v<T, float>;
    chunkNext_ = 0;
    chunkFrames_ = got;
    return true;
}

template <class T> long long AudioReader::readFrames(T* left, T* right, int count, std::string& error) {
    if (!file_ || count <= 0)
        return 0;
    long long done = 0;
    while (done < count) {
        if (chunkNext_ == chunkFrames_) {
            bool filled = false;
            if constexpr (std::is_same_v<T, float>)
                filled = fill(chunk32_, error);
            else
                filled = fill(chunk64_, error);
            if (!filled)
                return -1;
            if (chunkFrames_ == 0)
                break;
        }
        const long long n = std::min<long long>(count - done, chunkFrames_ - chunkNext_);
        const int last = channels_ - 1;
        // One pass from the interleaved chunk into the two channels (a mono file fills both).
        const auto spread = [&](const auto* frames) {
            frames += chunkNext_ * channels_;
            for (long long i = 0; i < n; ++i) {
                left[done + i] = static_cast<T>(frames[i * channels_]);
                right[done + i] = static_cast<T>(frames[i * channels_ + last]);
            }
        };
        if (chunkIsFloat_)
            spread(chunk32_.data());
        else
            spread(chunk64_.data());
        chunkNext_ += n;
        done += n;
    }
    return done;
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
    // No PEAK chunk: it stamps the time of writing, so one render made twice would give two files.
    sf_command(file_, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
    return true;
}

bool AudioWriter::write(const double* left, const double* right, int count, std::string& error) {
    return writeFrames(left, right, count, chunk64_, error);
}

bool AudioWriter::write(const float* left, const float* right, int count, std::string& error) {
    return writeFrames(left, right, count, chunk32_, error);
}

template <class T>
bool AudioWriter::writeFrames(const T* left, const T* right, int count, std::vector<T>& chunk,
                              std::string& error) {
    if (!file_) {
        error = "no output file open";
        return false;
    }
    // Frames of the other sample type go out first, in order.
    constexpr bool kFloat = std::is_same_v<T, float>;
    if (chunkFrames_ > 0 && chunkIsFloat_ != kFloat && !flush(error))
        return false;
    chunkIsFloat_ = kFloat;
    if (chunk.size() < static_cast<size_t>(kChunkFrames * 2))
        chunk.resize(static_cast<size_t>(kChunkFrames * 2));
    for (int done = 0; done < count;) {
        const int n = static_cast<int>(std::min<long long>(count - done, kChunkFrames - chunkFrames_));
        T* frames = chunk.data() + chunkFrames_ * 2;
        for (int i = 0; i < n; ++i) {
            frames[2 * i] = left[done + i];
            frames[2 * i + 1] = right[done + i];
        }
        chunkFrames_ += n;
        done += n;
        if (chunkFrames_ == kChunkFrames && !flush(error))
            return false;
    }
    return true;
}

bool AudioWriter::flush(std::string& error) {
    const long long frames = chunkFrames_;
    chunkFrames_ = 0;
    if (frames == 0)
        return true;
    const sf_count_t written = chunkIsFloat_ ? writeInterleaved(file_, chunk32_.data(), frames)
                                             : writeInterleaved(file_, chunk64_.data(), frames);
    if (written != frames) {
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
    if (!flush(error)) {
        discard();
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
    chunkFrames_ = 0;
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
