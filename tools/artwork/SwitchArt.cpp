#include <cmath>

#include "ArtStyle.h"
#include "Artwork.h"

using namespace ArtStyle;

namespace {

// Diagram parts, stacked from the top: a signal node (text in a pill) or filter boxes.
enum class Step { Wet, Mix, Out, One, Two, Both };
constexpr double kPitch = 14.0;

void Node(cairo_t* cr, double cx, double y, const char* label) {
    SetFont(cr, kCaptionFace, 7.0, true);
    const double w = TextWidth(cr, label, 0.3) + 7.0;
    SetColor(cr, kWell);
    RoundedRect(cr, cx - w / 2, y, w, 9, 4.5);
    cairo_fill_preserve(cr);
    SetColor(cr, kEdge);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    SetColor(cr, kCaption);
    DrawText(cr, label, cx, y + 7.5, Align::Centre, 0.3);
}

void Filter(cairo_t* cr, double cx, double y, const char* digit) {
    SetColor(cr, kAccentDim);
    RoundedRect(cr, cx - 6.5, y, 13, 10, 2);
    cairo_fill_preserve(cr);
    SetColor(cr, kAccent);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    SetFont(cr, kCaptionFace, 8.0, true);
    SetColor(cr, Hex(0xFFFFFF));
    DrawText(cr, digit, cx, y + 8.2, Align::Centre);
}

void Wire(cairo_t* cr, double x1, double y1, double x2, double y2) {
    SetColor(cr, kUnit);
    cairo_set_line_width(cr, 1.0);
    cairo_move_to(cr, x1, y1);
    cairo_line_to(cr, x2, y2);
    cairo_stroke(cr);
}

// Height of a diagram laid out by Diagram.
double DiagramHeight(const std::vector<Step>& steps) {
    double h = 0.0;
    for (size_t i = 0; i < steps.size(); ++i)
        h += (i + 1 < steps.size() ? kPitch : 10.0) + (steps[i] == Step::Both ? 2.0 : 0.0);
    return h;
}

void Diagram(cairo_t* cr, double cx, double top, const std::vector<Step>& steps) {
    const double pitch = kPitch;
    double y = top;
    for (size_t i = 0; i < steps.size(); ++i) {
        const Step s = steps[i];
        const double h = (s == Step::One || s == Step::Two || s == Step::Both) ? 10.0 : 9.0;
        // A wire down to the next part; the split pair draws its own.
        if (i + 1 < steps.size() && s != Step::Both)
            Wire(cr, cx + 0.5, y + h, cx + 0.5, y + pitch);
        switch (s) {
        case Step::Wet:
            Node(cr, cx, y, "WET");
            break;
        case Step::Mix:
            Node(cr, cx, y, "MIX");
            break;
        case Step::Out:
            Node(cr, cx, y, "OUT");
            break;
        case Step::One:
            Filter(cr, cx, y, "1");
            break;
        case Step::Two:
            Filter(cr, cx, y, "2");
            break;
        case Step::Both:
            // Split into the two filters side by side and join again.
            Wire(cr, cx - 9.5, y - 3, cx + 10.5, y - 3);
            Wire(cr, cx - 9.5, y - 3, cx - 9.5, y);
            Wire(cr, cx + 10.5, y - 3, cx + 10.5, y);
            Wire(cr, cx - 9.5, y + 10, cx - 9.5, y + 13);
            Wire(cr, cx + 10.5, y + 10, cx + 10.5, y + 13);
            Wire(cr, cx - 9.5, y + 13, cx + 10.5, y + 13);
            if (i + 1 < steps.size())
                Wire(cr, cx + 0.5, y + 13, cx + 0.5, y + pitch + 2);
            Filter(cr, cx - 9, y, "1");
            Filter(cr, cx + 10, y, "2");
            y += 2;
            break;
        }
        y += pitch;
    }
}

} // namespace

namespace Artwork {

void PaintSliderHandle(cairo_t* cr, int width, int height) {
    // A small cap with a lit top and an accent line to read the position by.
    cairo_pattern_t* body = cairo_pattern_create_linear(0, 0, 0, height);
    cairo_pattern_add_color_stop_rgb(body, 0, 0.86, 0.89, 0.92);
    cairo_pattern_add_color_stop_rgb(body, 1, 0.52, 0.56, 0.61);
    cairo_set_source(cr, body);
    RoundedRect(cr, 0.5, 0.5, width - 1.0, height - 1.0, 3.0);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(body);
    SetColor(cr, Hex(0x15181D));
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    SetColor(cr, Hex(0x1F8FA6));
    cairo_rectangle(cr, width / 2 - 1, 3, 2, height - 6);
    cairo_fill(cr);
}

void PaintRoutingSwitch(cairo_t* cr, int frameWidth, int height, const std::vector<std::string>& names) {
    UseCrispText(cr);
    const std::vector<std::vector<Step>> diagrams = {
        {Step::Wet, Step::Both, Step::Mix},           {Step::Wet, Step::One, Step::Two, Step::Mix},
        {Step::Wet, Step::One, Step::Mix, Step::Two}, {Step::Mix, Step::Both, Step::Out},
        {Step::Mix, Step::One, Step::Two, Step::Out},
    };
    for (size_t f = 0; f < names.size(); ++f) {
        const double x0 = static_cast<double>(f) * frameWidth;
        cairo_save(cr);
        cairo_rectangle(cr, x0, 0, frameWidth, height);
        cairo_clip(cr);
        SetColor(cr, kWell);
        RoundedRect(cr, x0 + 0.5, 0.5, frameWidth - 1.0, height - 1.0, 4.0);
        cairo_fill_preserve(cr);
        SetColor(cr, kEdge);
        cairo_set_line_width(cr, 1.0);
        cairo_stroke(cr);

        const double cx = std::floor(x0 + frameWidth / 2.0);
        // The diagram centred in the space above the name.
        const double area = height - 26.0;
        if (f < diagrams.size())
            Diagram(cr, cx, std::round(4.0 + (area - 4.0 - DiagramHeight(diagrams[f])) / 2.0), diagrams[f]);

        // The routing's name, split before "Parallel"/"Serie" when it has two words.
        std::string first = names[f], second;
        const size_t space = first.find(' ');
        if (space != std::string::npos) {
            second = first.substr(space + 1);
            first = first.substr(0, space);
        }
        for (char& c : first)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        for (char& c : second)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        SetFont(cr, kCaptionFace, 8.0, true);
        SetColor(cr, kText);
        if (second.empty()) {
            DrawText(cr, first, cx + 0.5, height - 9.0, Align::Centre);
        } else {
            DrawText(cr, first, cx + 0.5, height - 17.0, Align::Centre);
            DrawText(cr, second, cx + 0.5, height - 7.0, Align::Centre);
        }
        cairo_restore(cr);
    }
}

} // namespace Artwork
