#include "ImpulseResponse.h"

#include "AudioFile.h"
#include "HostedEffect.h"
#include "ImpulseInput.h"

namespace halvane::render {

bool ImpulseResponse::render(const std::string& bundle, const RenderOptions& options, int rate,
                             double seconds, std::array<std::vector<double>, 2>& response,
                             std::string& error) {
    ImpulseInput impulse;
    if (!impulse.create(rate, error))
        return false;
    RenderOptions o = options;
    o.input = impulse.impulsePath();
    o.output = impulse.responsePath();
    o.format = SampleFormat::Float64;
    o.tailSeconds = seconds;

    RenderPlan plan;
    std::unique_ptr<HostedEffect> effect = HostedEffect::openFor(bundle, o, plan, error);
    AudioReader input;
    AudioWriter output;
    LevelMeter meter;
    if (!effect || !input.open(o.input, error) || !output.open(o.output, rate, o.format, error) ||
        !effect->render(input, output, o, rate, plan, nullptr, meter, error) || !output.commit(error))
        return false;

    AudioReader rendered;
    if (!rendered.open(o.output, error))
        return false;
    const auto frames = static_cast<size_t>(rendered.frames());
    response = {std::vector<double>(frames), std::vector<double>(frames)};
    const long long got =
        rendered.read(response[0].data(), response[1].data(), static_cast<int>(frames), error);
    if (got < 0)
        return false;
    response[0].resize(static_cast<size_t>(got));
    response[1].resize(static_cast<size_t>(got));
    return true;
}

} // namespace halvane::render
