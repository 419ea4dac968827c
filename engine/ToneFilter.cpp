#include "ToneFilter.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kTwoPi = 6.283185307179586;
}

float ToneFilter::BandwidthFromPercent(float x) {
    const float q = (x - 1.0f) * 0.01010101f;
    return 4.0f - ((2.0f * q) - (q * q)) * 3.99f;
}

double ToneFilter::GainFromTenthsDb(std::int32_t v) {
    return std::pow(10.0, v * 0.0025);
}

void ToneFilter::ComputeCoefficients(double rate) {
    if (!(rate > 0.0))
        return;
    const double f = std::min(static_cast<double>(static_cast<std::uint32_t>(frequency)), 0.49 * rate);
    const double w0 = f * kTwoPi / rate;
    const double c = std::cos(w0);
    const double sn = std::sin(w0);
    const double alpha = sn / bandwidth;
    const double A = gain;

    double nb0, nb1, nb2, a0, na1, na2;
    switch (type) {
    case kPeak:
        nb0 = 1.0 + alpha * A;
        nb1 = -2.0 * c;
        nb2 = 1.0 - alpha * A;
        a0 = 1.0 + alpha / A;
        na1 = -2.0 * c;
        na2 = 1.0 - alpha / A;
        break;
    case kLowshelf: {
        const double beta = std::sqrt(2.0 * A) * alpha;
        nb0 = A * ((A + 1.0) - (A - 1.0) * c + beta);
        nb1 = 2.0 * A * ((A - 1.0) - (A + 1.0) * c);
        nb2 = A * ((A + 1.0) - (A - 1.0) * c - beta);
        a0 = (A + 1.0) + (A - 1.0) * c + beta;
        na1 = -2.0 * ((A - 1.0) + (A + 1.0) * c);
        na2 = (A + 1.0) + (A - 1.0) * c - beta;
        break;
    }
    case kHighshelf: {
        const double beta = std::sqrt(2.0 * A) * alpha;
        nb0 = A * ((A + 1.0) + (A - 1.0) * c + beta);
        nb1 = -2.0 * A * ((A - 1.0) + (A + 1.0) * c);
        nb2 = A * ((A + 1.0) + (A - 1.0) * c - beta);
        a0 = (A + 1.0) - (A - 1.0) * c + beta;
        na1 = 2.0 * ((A - 1.0) - (A + 1.0) * c);
        na2 = (A + 1.0) - (A - 1.0) * c - beta;
        break;
    }
    default:
        return; // off: the stored coefficients stay
    }

    const double inv = 1.0 / a0;
    b0 = nb0 * inv;
    b1 = nb1 * inv;
    b2 = nb2 * inv;
    a1 = na1 * inv;
    a2 = na2 * inv;
}
