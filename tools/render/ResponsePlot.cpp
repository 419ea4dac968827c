#include "ResponsePlot.h"

#include "AudioFile.h"

#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

namespace halvane::render {

namespace {

struct Colour {
    double r, g, b;
};

constexpr Colour kInk = {0.13, 0.13, 0.15};
constexpr Colour kMuted = {0.42, 0.42, 0.46};
constexpr Colour kGrid = {0.88, 0.88, 0.90};
constexpr Colour kChannelColours[ResponseAnalysis::kChannels] = {{0.12, 0.42, 0.75}, {0.86, 0.38, 0.10}};
constexpr const char* kChannelNames[ResponseAnalysis::kChannels] = {"Left", "Right"};
constexpr const char* kFont = "DejaVu Sans";
constexpr double kFloorDb = -100.0;
constexpr double kWaveformSeconds = 0.1;
constexpr double kHalfPi = 1.57079632679489661923;

struct Rect {
    double x, y, w, h;
};

void setColour(cairo_t* cr, const Colour& c, double alpha = 1.0) {
    cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

enum class Align { Left, Centre, Right };

void text(cairo_t* cr, double x, double y, const std::string& s, double size, Align align = Align::Left,
          bool bold = false, const Colour& colour = kInk) {
    cairo_select_font_face(cr, kFont, CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, s.c_str(), &e);
    const double dx = align == Align::Left ? 0.0 : align == Align::Centre ? -e.x_advance / 2 : -e.x_advance;
    setColour(cr, colour);
    cairo_move_to(cr, x + dx, y);
    cairo_show_text(cr, s.c_str());
}

// Text on a white patch, so a label stays readable where it crosses a curve.
void label(cairo_t* cr, double x, double y, const std::string& s, double size, Align align,
           const Colour& colour) {
    cairo_select_font_face(cr, kFont, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, s.c_str(), &e);
    const double left = align == Align::Left     ? x
                        : align == Align::Centre ? x - e.x_advance / 2
                                                 : x - e.x_advance;
    cairo_set_source_rgba(cr, 1, 1, 1, 0.85);
    cairo_rectangle(cr, left - 3, y - size, e.x_advance + 6, size + 5);
    cairo_fill(cr);
    text(cr, x, y, s, size, align, true, colour);
}

// A step of 1, 2 or 5 times a power of ten that cuts span into about `count` pieces.
double niceStep(double span, int count) {
    const double raw = span / count;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0})
        if (raw <= m * power)
            return m * power;
    return 10.0 * power;
}

std::string number(double value, double step) {
    char buffer[32];
    const int decimals = step >= 1.0 ? 0 : static_cast<int>(std::ceil(-std::log10(step) - 1e-9));
    std::snprintf(buffer, sizeof(buffer), "%.*f", decimals, std::fabs(value) < step * 1e-6 ? 0.0 : value);
    return buffer;
}

// Grid, frame and tick labels of a panel whose x runs over [0, xMax] and y over [yMin, yMax].
void axes(cairo_t* cr, const Rect& r, double xMax, double xStep, double yMin, double yMax, double yStep,
          const std::string& xLabel, const std::string& yLabel) {
    cairo_set_line_width(cr, 1.0);
    for (double x = 0.0; x <= xMax + xStep * 1e-6; x += xStep) {
        const double px = std::round(r.x + x / xMax * r.w) + 0.5;
        setColour(cr, kGrid);
        cairo_move_to(cr, px, r.y);
        cairo_line_to(cr, px, r.y + r.h);
        cairo_stroke(cr);
        text(cr, px, r.y + r.h + 16, number(x, xStep), 11, Align::Centre, false, kMuted);
    }
    for (double y = std::ceil(yMin / yStep) * yStep; y <= yMax + yStep * 1e-6; y += yStep) {
        const double py = std::round(r.y + (yMax - y) / (yMax - yMin) * r.h) + 0.5;
        setColour(cr, kGrid);
        cairo_move_to(cr, r.x, py);
        cairo_line_to(cr, r.x + r.w, py);
        cairo_stroke(cr);
        text(cr, r.x - 6, py + 4, number(y, yStep), 11, Align::Right, false, kMuted);
    }
    setColour(cr, kMuted);
    cairo_rectangle(cr, r.x + 0.5, r.y + 0.5, r.w, r.h);
    cairo_stroke(cr);
    text(cr, r.x + r.w / 2, r.y + r.h + 34, xLabel, 12, Align::Centre);
    cairo_save(cr);
    cairo_translate(cr, r.x - 44, r.y + r.h / 2);
    cairo_rotate(cr, -kHalfPi);
    text(cr, 0, 0, yLabel, 12, Align::Centre);
    cairo_restore(cr);
}

void decayPanel(cairo_t* cr, const Rect& r, const ResponseAnalysis& a, const PlotCaption& caption) {
    const bool afterInput = caption.afterInput;
    // Long enough to show both curves down to the floor, or the whole response.
    size_t shown = 1;
    for (const auto& curve : a.decayDb) {
        size_t end = 0;
        while (end < curve.size() && curve[end] > kFloorDb)
            ++end;
        shown = std::max(shown, end);
    }
    const double seconds =
        std::max({static_cast<double>(shown) / a.rate * 1.05, caption.tailSeconds * 1.05, 0.01});
    const double xStep = niceStep(seconds, 10);
    const double xMax = std::ceil(seconds / xStep - 1e-9) * xStep;

    text(cr, r.x, r.y - 10, "Energy decay curve", 14, Align::Left, true);
    axes(cr, r, xMax, xStep, kFloorDb, 0.0, 10.0, afterInput ? "time after the input ends (s)" : "time (s)",
         "remaining energy (dB)");

    auto px = [&](double t) { return r.x + t / xMax * r.w; };
    auto py = [&](double db) { return r.y + (0.0 - std::max(db, kFloorDb)) / (0.0 - kFloorDb) * r.h; };

    // The -60 dB line.
    setColour(cr, kMuted);
    const double dash[] = {5.0, 4.0};
    cairo_set_dash(cr, dash, 2, 0);
    cairo_move_to(cr, r.x, py(-60.0));
    cairo_line_to(cr, r.x + r.w, py(-60.0));
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0);
    text(cr, r.x + r.w - 6, py(-60.0) - 6, "-60 dB", 11, Align::Right, false, kMuted);

    cairo_save(cr);
    cairo_rectangle(cr, r.x, r.y, r.w, r.h);
    cairo_clip(cr);
    cairo_set_line_width(cr, 2.0);
    for (int c = 0; c < ResponseAnalysis::kChannels; ++c) {
        const std::vector<double>& curve = a.decayDb[static_cast<size_t>(c)];
        if (curve.empty() || !std::isfinite(curve[0]))
            continue;
        setColour(cr, kChannelColours[c], 0.9);
        for (int column = 0; column <= static_cast<int>(r.w); ++column) {
            const auto i = static_cast<size_t>(column / r.w * xMax * a.rate);
            if (i >= curve.size())
                break;
            if (column == 0)
                cairo_move_to(cr, px(0.0), py(curve[i]));
            else
                cairo_line_to(cr, r.x + column, py(curve[i]));
        }
        cairo_stroke(cr);
    }
    cairo_restore(cr);

    if (std::none_of(a.decayDb.begin(), a.decayDb.end(), [](const std::vector<double>& curve) {
            return !curve.empty() && std::isfinite(curve[0]);
        }))
        text(cr, r.x + r.w / 2, r.y + r.h / 3, afterInput ? "silence after the input" : "silence", 16,
             Align::Centre, true, kMuted);

    // Where each curve crosses -60 dB, labelled one above the line and one below.
    for (int c = 0; c < ResponseAnalysis::kChannels; ++c) {
        const double t = a.sixtyDbSeconds[static_cast<size_t>(c)];
        if (t < 0.0)
            continue;
        setColour(cr, kChannelColours[c]);
        cairo_arc(cr, px(t), py(-60.0), 5.0, 0, 4 * kHalfPi);
        cairo_fill(cr);
        char label[64];
        std::snprintf(label, sizeof(label), "%s -60 dB at %.2f s", kChannelNames[c], t);
        const double y = c == 0 ? py(-60.0) - 12 : py(-60.0) + 22;
        const bool room = px(t) + 200 < r.x + r.w;
        halvane::render::label(cr, room ? px(t) + 8 : px(t) - 8, y, label, 12,
                               room ? Align::Left : Align::Right, kChannelColours[c]);
    }

    // Where the output's level last stands above -60 dBFS: the tail the summary line gives.
    if (caption.tailSeconds > 0.0) {
        const double x = std::round(px(caption.tailSeconds)) + 0.5;
        setColour(cr, kInk, 0.6);
        const double dots[] = {2.0, 3.0};
        cairo_set_dash(cr, dots, 2, 0);
        cairo_set_line_width(cr, 1.0);
        cairo_move_to(cr, x, r.y);
        cairo_line_to(cr, x, r.y + r.h);
        cairo_stroke(cr);
        cairo_set_dash(cr, nullptr, 0, 0);
        char tail[64];
        std::snprintf(tail, sizeof(tail), "level above -60 dBFS until %.2f s", caption.tailSeconds);
        const bool room = x + 230 < r.x + r.w - 120;
        halvane::render::label(cr, room ? x + 6 : x - 6, r.y + r.h - 10, tail, 11,
                               room ? Align::Left : Align::Right, kInk);
    }

    // Legend.
    for (int c = 0; c < ResponseAnalysis::kChannels; ++c) {
        const double y = r.y + 20 + c * 18;
        setColour(cr, kChannelColours[c]);
        cairo_set_line_width(cr, 3.0);
        cairo_move_to(cr, r.x + r.w - 110, y - 4);
        cairo_line_to(cr, r.x + r.w - 86, y - 4);
        cairo_stroke(cr);
        text(cr, r.x + r.w - 80, y, kChannelNames[c], 12);
    }
}

void waveformPanel(cairo_t* cr, const Rect& r, const ResponsePlot::Stereo& response, double rate) {
    const auto frames = static_cast<size_t>(std::llround(kWaveformSeconds * rate));
    // Scaled to what follows the first millisecond, so a loud direct sound does not flatten the
    // reflections; a peak beyond the scale is clipped and named.
    const auto direct = static_cast<size_t>(rate / 1000.0);
    double peak = 0.0, later = 0.0, peakAt = 0.0;
    for (const auto& x : response) {
        for (size_t i = 0; i < std::min(frames, x.size()); ++i) {
            if (std::fabs(x[i]) > peak) {
                peak = std::fabs(x[i]);
                peakAt = static_cast<double>(i) / rate;
            }
            if (i >= direct)
                later = std::max(later, std::fabs(x[i]));
        }
    }
    const double scale = later > 0.0 ? later : peak > 0.0 ? peak : 1.0;
    const double yStep = niceStep(scale, 2);
    const double yMax = std::ceil(scale / yStep - 1e-9) * yStep;

    text(cr, r.x, r.y - 10, "Impulse response, first 100 ms", 14, Align::Left, true);
    axes(cr, r, 100.0, 10.0, -yMax, yMax, yStep, "time (ms)", "amplitude (full scale 1)");

    cairo_save(cr);
    cairo_rectangle(cr, r.x, r.y, r.w, r.h);
    cairo_clip(cr);
    cairo_set_line_width(cr, 1.0);
    auto py = [&](double v) { return r.y + (yMax - v) / (2 * yMax) * r.h; };
    const double perColumn = static_cast<double>(frames) / r.w;
    for (int c = 0; c < ResponseAnalysis::kChannels; ++c) {
        const std::vector<double>& x = response[static_cast<size_t>(c)];
        setColour(cr, kChannelColours[c], 0.75);
        // Each pixel column shows the range of the samples it covers, so no peak is lost.
        for (int column = 0; column < static_cast<int>(r.w); ++column) {
            const auto begin = static_cast<size_t>(column * perColumn);
            const auto end = std::max(begin + 1, static_cast<size_t>((column + 1) * perColumn));
            if (begin >= x.size())
                break;
            double lo = x[begin], hi = x[begin];
            for (size_t i = begin; i < std::min(end, x.size()); ++i) {
                lo = std::min(lo, x[i]);
                hi = std::max(hi, x[i]);
            }
            const double cx = r.x + column + 0.5;
            cairo_move_to(cr, cx, py(hi) - 0.5);
            cairo_line_to(cr, cx, py(lo) + 0.5);
        }
        cairo_stroke(cr);
    }
    cairo_restore(cr);
    if (peak > yMax) {
        char clipped[64];
        std::snprintf(clipped, sizeof(clipped), "clipped: peak %.2f at %.1f ms", peak, peakAt * 1000.0);
        label(cr, r.x + r.w - 6, r.y + 16, clipped, 11, Align::Right, kMuted);
    }
}

void bandTable(cairo_t* cr, const Rect& r, const ResponseAnalysis& a) {
    text(cr, r.x, r.y - 10, "Decay time per octave band", 14, Align::Left, true);
    const double rowHeight = r.h / (ResponseAnalysis::kBands + 1);
    const double columns[] = {r.x + 90, r.x + 190, r.x + 290};
    text(cr, columns[0], r.y + rowHeight * 0.7, "band", 12, Align::Right, true, kMuted);
    for (int c = 0; c < ResponseAnalysis::kChannels; ++c)
        text(cr, columns[c + 1], r.y + rowHeight * 0.7, std::string(kChannelNames[c]) + " (s)", 12,
             Align::Right, true, kChannelColours[c]);
    for (int b = 0; b < ResponseAnalysis::kBands; ++b) {
        const double y = r.y + rowHeight * (b + 1);
        if (b % 2 == 0) {
            setColour(cr, kGrid, 0.6);
            cairo_rectangle(cr, r.x, y, r.w, rowHeight);
            cairo_fill(cr);
        }
        const double centre = ResponseAnalysis::kBandCentres[static_cast<size_t>(b)];
        char band[32];
        if (centre >= 1000.0)
            std::snprintf(band, sizeof(band), "%g kHz", centre / 1000.0);
        else
            std::snprintf(band, sizeof(band), "%g Hz", centre);
        text(cr, columns[0], y + rowHeight * 0.7, band, 12, Align::Right);
        for (int c = 0; c < ResponseAnalysis::kChannels; ++c) {
            const double t = a.bandDecaySeconds[static_cast<size_t>(c)][static_cast<size_t>(b)];
            char value[32];
            if (std::isnan(t))
                std::snprintf(value, sizeof(value), "-");
            else
                std::snprintf(value, sizeof(value), t < 10.0 ? "%.2f" : "%.1f", t);
            text(cr, columns[c + 1], y + rowHeight * 0.7, value, 12, Align::Right);
        }
    }
    text(cr, r.x, r.y + r.h + 18, "time to fall 60 dB, from the -5 to -35 dB slope", 11, Align::Left, false,
         kMuted);
}

} // namespace

bool ResponsePlot::write(const std::string& path, const ResponseAnalysis& analysis, const Stereo& impulse,
                         const PlotCaption& caption, std::string& error) {
    std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface(
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight), cairo_surface_destroy);
    std::unique_ptr<cairo_t, decltype(&cairo_destroy)> context(cairo_create(surface.get()), cairo_destroy);
    cairo_t* cr = context.get();
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);

    text(cr, 30, 36, caption.title, 20, Align::Left, true);
    text(cr, 30, 60, caption.summary, 12, Align::Left, false, kMuted);
    decayPanel(cr, {90, 100, 880, 300}, analysis, caption);
    waveformPanel(cr, {90, 480, 520, 180}, impulse, analysis.rate);
    bandTable(cr, {660, 480, 310, 180}, analysis);

    cairo_surface_flush(surface.get());
    const cairo_status_t status = cairo_surface_write_to_png(surface.get(), path.c_str());
    if (status != CAIRO_STATUS_SUCCESS) {
        error = "cannot write the plot " + path + ": " + cairo_status_to_string(status);
        return false;
    }
    return true;
}

bool ResponsePlot::writeFromFile(const std::string& path, const std::string& renderedWav,
                                 long long startFrame, const Stereo* impulse, const PlotCaption& caption,
                                 std::string& error) {
    constexpr double kMaxSeconds = 120.0;
    constexpr long long kMaxFrames = 6000000;
    AudioReader reader;
    if (!reader.open(renderedWav, error))
        return false;
    const int rate = reader.rate();
    const long long end = std::min(
        reader.frames(), startFrame + std::min(kMaxFrames, static_cast<long long>(kMaxSeconds * rate)));
    constexpr int kBlock = 65536;
    std::vector<double> l(kBlock), r(kBlock), left, right;
    for (long long position = 0; position < end;) {
        const auto count = static_cast<int>(std::min<long long>(kBlock, end - position));
        const long long got = reader.read(l.data(), r.data(), count, error);
        if (got < 0)
            return false;
        if (got == 0)
            break;
        for (long long i = std::max(0LL, startFrame - position); i < got; ++i) {
            left.push_back(l[static_cast<size_t>(i)]);
            right.push_back(r[static_cast<size_t>(i)]);
        }
        position += got;
    }
    const ResponseAnalysis analysis = ResponseAnalysis::measure(std::move(left), std::move(right), rate);
    return write(path, analysis, impulse ? *impulse : analysis.response, caption, error);
}

void ResponsePlot::releaseCaches() {
    cairo_debug_reset_static_data();
    FcFini();
}

} // namespace halvane::render
