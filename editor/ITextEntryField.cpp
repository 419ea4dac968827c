#include "ITextEntryField.h"

#include <cstdlib>
#include <cstring>

#include "IGraphics.h"
#include "LICE_CachedFont.h"
#include "LICE_SysBitmap.h"
#include "Unicode.h"

namespace {

const ArgbColor kBox{255, 250, 250, 250};
const ArgbColor kFrame{255, 96, 96, 96};
const ArgbColor kInk{255, 16, 16, 16};
const ArgbColor kSelection{255, 173, 214, 255};
// Between the frame and the text.
constexpr int kPad = 2;

bool Continues(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

} // namespace

ITextEntryField::ITextEntryField(IPlugBase* plugin, const PixelRect& rect, const TextStyle& style,
                                 const std::string& text, bool masked, bool readOnly)
    : IControl(plugin, rect), style_(style), masked_(masked) {
    style_.color = kInk;
    Insert(text.c_str()); // the same filter as typed text
    readOnly_ = readOnly;
    SelectAll();
}

// ---- editing ----

void ITextEntryField::Insert(const char* utf8) {
    if (readOnly_ || !utf8)
        return;
    EraseSelection();
    std::string clean;
    const std::size_t length = std::strlen(utf8);
    for (std::size_t i = 0; i < length;) {
        const char32_t cp = halvane::unicode::NextFromUtf8(utf8, length, i);
        if (cp < 0x20 || (cp >= 0x7F && cp < 0xA0) || cp == halvane::unicode::kReplacement)
            continue;
        char bytes[4];
        const std::size_t n = halvane::unicode::EncodeUtf8(cp, bytes);
        if (text_.size() + clean.size() + n > kMaxBytes)
            break;
        clean.append(bytes, n);
    }
    text_.insert(caret_, clean);
    MoveTo(caret_ + clean.size(), false);
}

void ITextEntryField::Backspace() {
    if (readOnly_)
        return;
    if (anchor_ == caret_)
        anchor_ = Previous(caret_);
    EraseSelection();
}

void ITextEntryField::Delete() {
    if (readOnly_)
        return;
    if (anchor_ == caret_)
        anchor_ = Next(caret_);
    EraseSelection();
}

void ITextEntryField::Left(bool extend) {
    MoveTo(!extend && anchor_ != caret_ ? SelectionStart() : Previous(caret_), extend);
}

void ITextEntryField::Right(bool extend) {
    MoveTo(!extend && anchor_ != caret_ ? SelectionEnd() : Next(caret_), extend);
}

void ITextEntryField::Home(bool extend) {
    MoveTo(0, extend);
}

void ITextEntryField::End(bool extend) {
    MoveTo(text_.size(), extend);
}

void ITextEntryField::SelectAll() {
    anchor_ = 0;
    caret_ = text_.size();
    MarkDirty(false);
}

void ITextEntryField::EraseSelection() {
    const std::size_t from = SelectionStart();
    text_.erase(from, SelectionEnd() - from);
    MoveTo(from, false);
}

void ITextEntryField::MoveTo(std::size_t at, bool extend) {
    caret_ = at < text_.size() ? at : text_.size();
    if (!extend)
        anchor_ = caret_;
    MarkDirty(false);
}

std::size_t ITextEntryField::Previous(std::size_t at) const {
    if (at == 0)
        return 0;
    --at;
    while (at > 0 && Continues(text_[at]))
        --at;
    return at;
}

std::size_t ITextEntryField::Next(std::size_t at) const {
    if (at >= text_.size())
        return text_.size();
    ++at;
    while (at < text_.size() && Continues(text_[at]))
        ++at;
    return at;
}

// ---- the pointer ----

void ITextEntryField::PointerDown(int x, int y, const MouseMods& mods) {
    (void)y;
    if (mods.left)
        MoveTo(OffsetAt(x), mods.shift);
}

void ITextEntryField::PointerDrag(int x, int y, int dx, int dy, const MouseMods& mods) {
    (void)y, (void)dx, (void)dy;
    if (mods.left)
        MoveTo(OffsetAt(x), true);
}

void ITextEntryField::PointerDoubleClick(int x, int y, const MouseMods& mods) {
    (void)x, (void)y, (void)mods;
    SelectAll();
}

std::size_t ITextEntryField::OffsetAt(int x) {
    IGraphics* surface = Surface();
    if (!surface)
        return caret_;
    const int left = TextLeft(*surface);
    std::size_t best = firstShown_;
    int bestDistance = std::abs(x - left);
    for (std::size_t at = Next(firstShown_); at > best; at = Next(at)) {
        const int distance = std::abs(x - left - WidthOf(*surface, firstShown_, at));
        if (distance >= bestDistance)
            break; // boundaries only move further right from here
        best = at;
        bestDistance = distance;
    }
    return best;
}

// ---- drawing ----

std::string ITextEntryField::Shown(std::size_t from, std::size_t to) const {
    if (!masked_)
        return text_.substr(from, to - from);
    std::size_t count = 0;
    for (std::size_t at = from; at < to; ++at)
        count += Continues(text_[at]) ? 0 : 1;
    return std::string(count, '*');
}

int ITextEntryField::WidthOf(IGraphics& surface, std::size_t from, std::size_t to) {
    LICE_CachedFont* font = surface.FontFor(&style_);
    int width = 0;
    if (!font || from >= to || !font->MeasureText(Shown(from, to).c_str(), &width, nullptr))
        return 0;
    return width;
}

int ITextEntryField::TextLeft(IGraphics& surface) {
    const PixelRect& r = Rect();
    const int left = r.left + kPad;
    const int room = r.W() - 2 * kPad - 1; // the caret's column after the last character counts
    const int whole = WidthOf(surface, 0, text_.size());
    if (whole <= room) {
        firstShown_ = 0;
        if (style_.align == kAlignCentre)
            return left + (room - whole) / 2;
        return style_.align == kAlignFar ? left + room - whole : left;
    }
    // Too wide: scrolled by whole characters, the box kept full and the caret in view.
    if (firstShown_ > text_.size())
        firstShown_ = text_.size();
    while (firstShown_ > 0 && WidthOf(surface, Previous(firstShown_), text_.size()) <= room)
        firstShown_ = Previous(firstShown_);
    if (caret_ < firstShown_)
        firstShown_ = caret_;
    while (firstShown_ < caret_ && WidthOf(surface, firstShown_, caret_) > room)
        firstShown_ = Next(firstShown_);
    return left;
}

bool ITextEntryField::Render(IGraphics& surface) {
    const PixelRect& r = Rect();
    surface.FillBox(kBox, r);
    const float l = static_cast<float>(r.left), t = static_cast<float>(r.top);
    const float rr = static_cast<float>(r.right - 1), b = static_cast<float>(r.bottom - 1);
    surface.StrokeLine(kFrame, l, t, rr, t);
    surface.StrokeLine(kFrame, rr, t, rr, b);
    surface.StrokeLine(kFrame, rr, b, l, b);
    surface.StrokeLine(kFrame, l, b, l, t);
    LICE_CachedFont* font = surface.FontFor(&style_);
    if (!font)
        return false;
    const int left = TextLeft(surface);
    const int right = r.right - kPad;
    if (SelectionStart() != SelectionEnd()) {
        const std::size_t from = SelectionStart() > firstShown_ ? SelectionStart() : firstShown_;
        const int x0 = left + WidthOf(surface, firstShown_, from);
        int x1 = left + WidthOf(surface, firstShown_, SelectionEnd());
        x1 = x1 < right ? x1 : right;
        if (x1 > x0)
            surface.FillBox(kSelection, PixelRect{x0, r.top + 2, x1, r.bottom - 2});
    }
    font->SetTextColor(kInk.Packed());
    const int top = r.top + (r.H() - font->LineHeight()) / 2;
    font->DrawText(surface.DrawBitmap(), Shown(firstShown_, text_.size()).c_str(),
                   LICE_Rect{left, top, right, r.bottom}, LICE_DT_LEFT);
    const float caret = static_cast<float>(left + WidthOf(surface, firstShown_, caret_));
    if (caret < static_cast<float>(right) + 1.0f)
        surface.StrokeLine(kInk, caret, t + 2.0f, caret, b - 2.0f);
    return true;
}
