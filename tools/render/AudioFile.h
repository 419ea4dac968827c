#pragma once

// WAV input and output through libsndfile, block by block so long files never sit in memory,
// with the file itself read and written in large chunks. Samples go between the file's
// interleaved frames and the caller's channels in one pass, as floats or doubles, so a 32-bit
// render converts nothing a float file does not need. The writer fills a temporary file beside
// the target and renames it only on commit, so a failed or interrupted render never leaves a
// half-written OUT behind.

#include "RenderOptions.h"

#include <string>
#include <vector>

struct sf_private_tag;

namespace halvane::render {

class AudioReader {
  public:
    AudioReader() = default;
    ~AudioReader();
    AudioReader(const AudioReader&) = delete;
    AudioReader& operator=(const AudioReader&) = delete;

    // Mono or stereo files only; false with the reason in error.
    bool open(const std::string& path, std::string& error);
    void close();

    int rate() const { return rate_; }
    int channels() const { return channels_; }
    long long frames() const { return frames_; }

    // Up to count frames (integer formats scaled to -1..1); a mono file fills both channels.
    // Returns the frames read: fewer than count only at the end, -1 on a read error.
    long long read(double* left, double* right, int count, std::string& error);
    long long read(float* left, float* right, int count, std::string& error);

  private:
    template <class T> long long readFrames(T* left, T* right, int count, std::string& error);
    template <class T> bool fill(std::vector<T>& chunk, std::string& error);

    sf_private_tag* file_ = nullptr;
    std::string path_;
    int rate_ = 0;
    int channels_ = 0;
    long long frames_ = 0;
    // The chunk last read from the file, in the sample type of the last read; frames
    // [chunkNext_, chunkFrames_) are still to be handed out.
    std::vector<double> chunk64_;
    std::vector<float> chunk32_;
    bool chunkIsFloat_ = false;
    long long chunkNext_ = 0;
    long long chunkFrames_ = 0;
};

class AudioWriter {
  public:
    AudioWriter() = default;
    // Discards the temporary file unless commit succeeded.
    ~AudioWriter();
    AudioWriter(const AudioWriter&) = delete;
    AudioWriter& operator=(const AudioWriter&) = delete;

    // A stereo WAV at path; the samples go to temporaryPath() until commit.
    bool open(const std::string& path, int rate, SampleFormat format, std::string& error);
    // Integer formats clip samples beyond full scale instead of wrapping them. Frames may wait in
    // memory until a chunk is full or commit; an error may show at a later write or at commit.
    bool write(const double* left, const double* right, int count, std::string& error);
    bool write(const float* left, const float* right, int count, std::string& error);
    // Finishes the file and moves it to the target path (replacing an existing file).
    bool commit(std::string& error);
    void discard();

    const std::string& temporaryPath() const { return temporaryPath_; }

  private:
    template <class T>
    bool writeFrames(const T* left, const T* right, int count, std::vector<T>& chunk, std::string& error);
    bool flush(std::string& error);

    sf_private_tag* file_ = nullptr;
    std::string path_;
    std::string temporaryPath_;
    bool pending_ = false;
    // Interleaved frames not yet written, in the sample type of the last write.
    std::vector<double> chunk64_;
    std::vector<float> chunk32_;
    bool chunkIsFloat_ = false;
    long long chunkFrames_ = 0;
};

} // namespace halvane::render
