#pragma once

// What --plot renders when no input file is given: a one-frame impulse on both channels, in a
// private temporary folder, with room beside it for the response. The folder and
// everything in it go when the object does.

#include <string>

namespace halvane::render {

class ImpulseInput {
  public:
    ImpulseInput() = default;
    ~ImpulseInput();
    ImpulseInput(const ImpulseInput&) = delete;
    ImpulseInput& operator=(const ImpulseInput&) = delete;

    // False with the reason in error.
    bool create(int rate, std::string& error);

    const std::string& impulsePath() const { return impulse_; }
    const std::string& responsePath() const { return response_; }

  private:
    std::string folder_;
    std::string impulse_;
    std::string response_;
};

} // namespace halvane::render
