#pragma once

#include <array>
#include <vector>

#include "IControl.h"

struct PopupStyle;

// The editor's own list of a parameter's choices, opened over the control that was right-clicked. Items
// fill a grid of cells row by row; the list grows to at most nine rows and then scrolls with a thin
// scrollbar. The current and the hovered item are highlighted; a left click on an item applies it to the
// owning control's parameter as one gesture and closes the list.
class PromptPopup : public IControl {
  public:
    PromptPopup(IPlugBase* plugin, int x, int y, int width, int columns, const PopupStyle& style);

    void AddItem(const char* text);
    // Shows the list for `paramIndex` on behalf of `owner`, scrolled so the current item is in view.
    void BindTo(int paramIndex, IControl* owner);
    void MoveBy(int dx, int dy);

    void PointerDown(int x, int y, const MouseMods& mods) override;
    void PointerUp(int x, int y, const MouseMods& mods) override;
    void PointerDrag(int x, int y, int dx, int dy, const MouseMods& mods) override;
    void WheelTurned(int x, int y, const MouseMods& mods, double notches) override;
    void PointerHover(int x, int y, const MouseMods& mods) override;
    void PointerLeft() override;
    bool Render(IGraphics& surface) override;

    int ItemCount() const { return itemCount_; }
    const char* Item(int index) const;
    int Rows() const { return rows_; }
    int RowHeight() const { return rowHeight_; }
    int ThumbLength() const { return thumbLength_; }
    int ScrollOffset() const { return scrollOffset_; }
    int FirstVisible() const;
    int CurrentIndex() const { return currentIndex_; }
    int HoveredCell() const { return hoveredCell_; }
    bool HasScrollbar() const { return thumbLength_ > 0; }
    // How far the thumb can travel.
    int MaxScroll() const;
    // Where the thumb is drawn for the current scroll position.
    PixelRect ThumbRect() const;
    // The cell rectangle of visible cell `c`.
    PixelRect CellRect(int c) const;

  private:
    void ScrollBy(int delta);
    // The track's horizontal extent, where the thumb runs.
    int TrackLeft() const { return Rect().right - scrollbarWidth_ - 2; }
    int TrackRight() const { return Rect().right - 1; }
    bool OnTrack(int x) const { return HasScrollbar() && x >= TrackLeft() && x <= TrackRight(); }
    int CellAt(int x, int y) const;

    int originX_ = 0;
    int originY_ = 0;
    int cellWidth_ = 70;
    int inset_ = 4;
    int hoveredCell_ = -2;
    int visibleCells_ = 0;
    int scrollOffset_ = 0;
    int thumbLength_ = 0;
    int scrollbarWidth_ = 9;
    bool thumbDragging_ = false;
    std::vector<std::array<char, 32>> items_;
    TextStyle itemStyle_;
    TextStyle currentStyle_;
    ArgbColor background_;
    ArgbColor highlight_;
    PixelRect thumbRect_;
    int currentIndex_ = 0;
    int rowHeight_ = 21;
    int itemCount_ = 0;
    int rows_ = 5;
    int columns_ = 1;
    bool autoGrow_ = true;
    int boundParam_ = -1;
};
