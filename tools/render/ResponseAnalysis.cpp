#include "ResponseAnalysis.h"

#include <cmath>
#include <limits>

namespace halvane::render {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// 10 log10(E(n) / E(0)) with E(n) the sum of x^2 from n to the end.
std::vector<double> energyDecayDb(const std::vector<double>& x) {
    std::vector<double> curve(x.size());
    double energy = 0.0;
    for (size_t i = x.size(); i-- > 0;) {
        energy += x[i] * x[i];
        curve[i] = energy;
    }
    const double total = curve.empty() ? 0.0 : curve[0];
    for (double& e : curve)
        e = total > 0.0 && e > 0.0 ? 10.0 * std::log10(e / total) : -INFINITY;
    return curve;
}

// One octave wide band-pass, two biquads in series for steeper skirts; 0 dB at the centre.
// y = b0 x + b2 x[n-2] - a1 y[n-1] - a2 y[n-2] with Q = 1 / (2 sinh(ln 2 / 2)).
std::vector<double> octaveBand(const std::vector<double>& x, double centre, double rate) {
    const double w = 2.0 * kPi * centre / rate;
    const double q = 1.0 / (2.0 * std::sinh(std::log(2.0) / 2.0));
    const double alpha = std::sin(w) / (2.0 * q);
    const double a0 = 1.0 + alpha;
    const double b0 = alpha / a0, b2 = -alpha / a0;
    const double a1 = -2.0 * std::cos(w) / a0, a2 = (1.0 - alpha) / a0;
    std::vector<double> y = x;
    for (int stage = 0; stage < 2; ++stage) {
        double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
        for (double& v : y) {
            const double in = v;
            const double out = b0 * in + b2 * x2 - a1 * y1 - a2 * y2;
            x2 = x1;
            x1 = in;
            y2 = y1;
            y1 = out;
            v = out;
        }
    }
    return y;
}

// -60 / slope of the least-squares line through the curve between -5 and -35 dB.
double decayTime(const std::vector<double>& curve, double rate) {
    size_t first = 0;
    while (first < curve.size() && curve[first] > -5.0)
        ++first;
    size_t last = first;
    while (last < curve.size() && curve[last] > -35.0)
        ++last;
    if (last >= curve.size() || last - first < 8)
        return kNaN;
    double sumT = 0, sumD = 0, sumTT = 0, sumTD = 0;
    const double n = static_cast<double>(last - first);
    for (size_t i = first; i < last; ++i) {
        const double t = static_cast<double>(i - first) / rate;
        sumT += t;
        sumD += curve[i];
        sumTT += t * t;
        sumTD += t * curve[i];
    }
    const double slope = (n * sumTD - sumT * sumD) / (n * sumTT - sumT * sumT);
    return slope < 0.0 ? -60.0 / slope : kNaN;
}

} // namespace

ResponseAnalysis ResponseAnalysis::measure(std::vector<double> left, std::vector<double> right, double rate) {
    ResponseAnalysis a;
    a.rate = rate;
    a.response = {std::move(left), std::move(right)};
    for (int c = 0; c < kChannels; ++c) {
        const std::vector<double>& x = a.response[static_cast<size_t>(c)];
        a.decayDb[static_cast<size_t>(c)] = energyDecayDb(x);
        const std::vector<double>& curve = a.decayDb[static_cast<size_t>(c)];
        a.sixtyDbSeconds[static_cast<size_t>(c)] = -1.0;
        a.bandDecaySeconds[static_cast<size_t>(c)].fill(kNaN);
        if (curve.empty() || !std::isfinite(curve[0]))
            continue; // silent
        for (size_t i = 0; i < curve.size(); ++i) {
            if (curve[i] <= -60.0) {
                a.sixtyDbSeconds[static_cast<size_t>(c)] = static_cast<double>(i) / rate;
                break;
            }
        }
        for (int b = 0; b < kBands; ++b) {
            const double centre = kBandCentres[static_cast<size_t>(b)];
            // The band's upper edge must lie below the Nyquist frequency.
            a.bandDecaySeconds[static_cast<size_t>(c)][static_cast<size_t>(b)] =
                centre * std::sqrt(2.0) < rate / 2.0
                    ? decayTime(energyDecayDb(octaveBand(x, centre, rate)), rate)
                    : kNaN;
        }
    }
    return a;
}

} // namespace halvane::render
