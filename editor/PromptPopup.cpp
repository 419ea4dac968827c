#include "PromptPopup.h"

#include <cmath>
#include <cstring>

#include "IGraphics.h"
#include "IParamSpec.h"
#include "IPlugBase.h"

namespace {

int CeilDiv(int a, int b) {
    return b > 0 ? (a + b - 1) / b : 0;
}

int FloorDiv(int a, int b) {
    return static_cast<int>(std::floor(static_cast<double>(a) / b));
}

} // namespace

PromptPopup::PromptPopup(IPlugBase* plugin, int x, int y, int width, int columns, const PopupStyle& style)
    : IControl(plugin, PixelRect{x, y, x + (width > 10 ? width : 10), y + 30}), originX_(x), originY_(y),
      cellWidth_(width), itemStyle_(style.text), currentStyle_(style.text), background_(style.background),
      highlight_(style.highlight), columns_(columns > 0 ? columns : 1) {
    currentStyle_.color.a = currentStyle_.color.a + 55 > 255 ? 255 : currentStyle_.color.a + 55;
    rowHeight_ = itemStyle_.size + 6;
    visibleCells_ = columns_ * rows_;
}

const char* PromptPopup::Item(int index) const {
    return index >= 0 && index < itemCount_ ? items_[static_cast<size_t>(index)].data() : "";
}

void PromptPopup::AddItem(const char* text) {
    std::array<char, 32> item{};
    CopyText(item.data(), text ? text : "", item.size());
    items_.push_back(item);
    const int length = static_cast<int>(std::strlen(item.data()));
    const int perChar = itemStyle_.size - 8 > 5 ? itemStyle_.size - 8 : 5;
    const int needed = length * perChar + 2 * inset_ + 20;
    if (needed > cellWidth_)
        cellWidth_ = needed;

    if (autoGrow_ && (itemCount_ == 9 || itemCount_ == 19 || itemCount_ == 29 || itemCount_ == 39))
        ++rows_;
    ++itemCount_;
    visibleCells_ = columns_ * rows_;

    int height = 0;
    int extraWidth = 0;
    if (visibleCells_ < itemCount_) {
        // The thumb shrinks linearly from the whole track at `rows` items to 1.5 rows at four times that.
        if (4 * rows_ < itemCount_)
            thumbLength_ = static_cast<int>(1.5 * rowHeight_);
        else
            thumbLength_ = static_cast<int>((1.5 * rowHeight_ - rows_ * rowHeight_) * (itemCount_ - rows_) /
                                                (rows_ * 3) +
                                            rows_ * rowHeight_);
        height = rows_ * rowHeight_;
        extraWidth = scrollbarWidth_ + 2;
    } else {
        thumbLength_ = 0;
        height = CeilDiv(itemCount_, columns_) * rowHeight_;
    }
    const PixelRect& r = Rect();
    SetRect(PixelRect{r.left, r.top, r.left + cellWidth_ * columns_ + inset_ + extraWidth, r.top + height});
}

int PromptPopup::MaxScroll() const {
    const int travel = Rect().H() - thumbLength_ - 2;
    return travel > 0 ? travel : 0;
}

int PromptPopup::FirstVisible() const {
    if (!HasScrollbar() || MaxScroll() <= 0)
        return 0;
    const int hiddenRows = CeilDiv(itemCount_, columns_) - rows_;
    return columns_ * RoundHalfAwayFromZero(static_cast<double>(hiddenRows) * scrollOffset_ / MaxScroll());
}

void PromptPopup::BindTo(int paramIndex, IControl* owner) {
    boundParam_ = paramIndex;
    currentIndex_ = 0;
    if (IParamSpec* param = Plugin() ? Plugin()->GetParam(paramIndex) : nullptr) {
        LockGuard guard(Plugin()->Lock());
        currentIndex_ = RoundHalfAwayFromZero(param->Value());
    }
    if (HasScrollbar()) {
        const int row = currentIndex_ / columns_;
        const int half = CeilDiv(rows_, 2);
        const int totalRows = CeilDiv(itemCount_, columns_);
        int topRow = row + 1 - half;
        if (topRow > totalRows - rows_)
            topRow = totalRows - rows_;
        if (topRow < 0)
            topRow = 0;
        if (totalRows > rows_)
            scrollOffset_ =
                RoundHalfAwayFromZero(static_cast<double>(MaxScroll()) * topRow / (totalRows - rows_));
    }
    SetOwner(owner);
    SetHidden(false);
}

void PromptPopup::MoveBy(int dx, int dy) {
    const PixelRect& r = Rect();
    SetRect(PixelRect{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy});
    originX_ += dx;
    originY_ += dy;
}

void PromptPopup::ScrollBy(int delta) {
    scrollOffset_ += delta;
    if (scrollOffset_ > MaxScroll())
        scrollOffset_ = MaxScroll();
    if (scrollOffset_ < 1)
        scrollOffset_ = 0;
    MarkDirty(true);
}

PixelRect PromptPopup::ThumbRect() const {
    const int top = Rect().top + scrollOffset_ + 1;
    return {TrackLeft(), top, TrackRight(), top + thumbLength_};
}

PixelRect PromptPopup::CellRect(int c) const {
    const PixelRect& r = Rect();
    const int column = c % columns_;
    const int row = c / columns_;
    return {r.left + cellWidth_ * column + inset_, r.top + row * rowHeight_ + 1,
            r.left + cellWidth_ * (column + 1), r.top + rowHeight_ * (row + 1) - 1};
}

int PromptPopup::CellAt(int x, int y) const {
    if (OnTrack(x))
        return -1;
    const PixelRect& r = Rect();
    const int row = FloorDiv(y - r.top, rowHeight_);
    int cell = row * columns_ < visibleCells_ ? row * columns_ : visibleCells_;
    if (columns_ > 1) {
        int column = FloorDiv(x - (r.left + RoundHalfAwayFromZero(inset_ * 0.5)), cellWidth_);
        column = column < 0 ? 0 : (column > columns_ - 1 ? columns_ - 1 : column);
        cell += column;
        if (cell >= itemCount_)
            cell = -1;
    }
    return cell;
}

void PromptPopup::PointerHover(int x, int y, const MouseMods& mods) {
    (void)mods;
    const int cell = CellAt(x, y);
    if (cell != hoveredCell_) {
        hoveredCell_ = cell;
        MarkDirty(true);
    }
}

void PromptPopup::PointerLeft() {
    hoveredCell_ = -2;
    MarkDirty(true);
}

void PromptPopup::PointerDown(int x, int y, const MouseMods& mods) {
    if (OnTrack(x)) {
        if (!mods.left)
            return;
        thumbDragging_ = true;
        const PixelRect thumb = ThumbRect();
        if (y >= thumb.top && y <= thumb.bottom)
            MarkDirty(true);
        else
            ScrollBy(y - scrollOffset_ - Rect().top - RoundHalfAwayFromZero(thumbLength_ * 0.5));
        return;
    }
    // The press itself says which cell it is on, whether or not the pointer was tracked before.
    PointerHover(x, y, mods);
    if (!mods.left || hoveredCell_ < 0)
        return;
    const int index = FirstVisible() + hoveredCell_;
    if (index >= itemCount_)
        return; // below the last item
    IControl* owner = Owner();
    IGraphics* surface = Surface();
    if (owner && !owner->IsBound()) {
        owner->ChoiceMade(Item(index), index);
    } else if (owner) {
        const int param = owner->ParamIndex();
        const IParamSpec* spec = owner->Param();
        if (surface)
            surface->BeginGesture(param);
        currentIndex_ = index;
        const int count = spec ? spec->DisplayTextCount() : 0;
        const double plain = index < count ? spec->DisplayTextAt(index).value : index;
        owner->ApplyEnteredValue(spec ? spec->NormalizedFromPlain(plain) : 0.0);
        if (surface)
            surface->EndGesture(param);
        owner->ChoiceMade(Item(index), index);
    }
    if (surface) {
        surface->ClearPointer();
        surface->DismissPopup(true);
    }
}

void PromptPopup::PointerUp(int x, int y, const MouseMods& mods) {
    (void)x, (void)y, (void)mods;
    if (HasScrollbar()) {
        thumbDragging_ = false;
        MarkDirty(true);
    }
}

void PromptPopup::PointerDrag(int x, int y, int dx, int dy, const MouseMods& mods) {
    (void)x, (void)y, (void)dx, (void)mods;
    if (thumbDragging_)
        ScrollBy(dy);
}

void PromptPopup::WheelTurned(int x, int y, const MouseMods& mods, double notches) {
    (void)x, (void)y, (void)mods;
    if (HasScrollbar() && notches == notches)
        ScrollBy(RoundHalfAwayFromZero(-3.0 * notches));
}

bool PromptPopup::Render(IGraphics& surface) {
    const PixelRect& r = Rect();
    const int first = FirstVisible();
    surface.FillRounded(background_, r, 4, 4, nullptr, true);

    ArgbColor separator = highlight_;
    separator.a = static_cast<int>(separator.a * 0.6);
    for (int i = 1; i < columns_; ++i) {
        const float x = static_cast<float>(r.left + i * cellWidth_ + inset_ * 0.5 - 0.5);
        surface.StrokeLine(separator, x, static_cast<float>(r.top + inset_), x,
                           static_cast<float>(r.bottom - inset_));
    }

    const int current = currentIndex_ - first;
    const bool currentShown = current >= 0 && current < visibleCells_;
    if (currentShown) {
        surface.OutlineRounded(highlight_, CellRect(current), 4, nullptr, true);
        surface.FillRounded(highlight_, CellRect(current), 4, 4, nullptr, true);
    }
    if (hoveredCell_ >= 0 && hoveredCell_ < visibleCells_ && !(currentShown && hoveredCell_ == current))
        surface.FillRounded(highlight_, CellRect(hoveredCell_), 4, 4, nullptr, true);

    const int end = itemCount_ < first + visibleCells_ ? itemCount_ : first + visibleCells_;
    for (int i = first, row = 0; i < end; ++row) {
        for (int k = 0; k < columns_ && i < end; ++k, ++i) {
            const PixelRect text{r.left + k * cellWidth_ + 2 * inset_,
                                 r.top + row * rowHeight_ + RoundHalfAwayFromZero(inset_ * 0.75),
                                 r.left + (k + 1) * cellWidth_, r.top + rowHeight_ * (row + 1)};
            surface.DrawLabel(i == currentIndex_ ? &currentStyle_ : &itemStyle_, Item(i), text);
        }
    }

    if (HasScrollbar()) {
        ArgbColor track = highlight_;
        track.a = track.a > 20 ? track.a - 20 : 0;
        surface.OutlineRounded(track, PixelRect{TrackLeft() - 1, r.top, TrackRight() + 1, r.bottom}, 4,
                               nullptr, true);
        thumbRect_ = ThumbRect();
        ArgbColor thumb = highlight_;
        if (hoveredCell_ == -1 && !thumbDragging_)
            thumb.a = thumb.a + 20 > 255 ? 255 : thumb.a + 20;
        surface.FillRounded(thumb, thumbRect_, 3, 4, nullptr, true);
    }
    return true;
}
