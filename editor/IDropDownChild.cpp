#include "IDropDownChild.h"

#include "IGraphics.h"

IDropDownChild::IDropDownChild(IPlugBase* plugin, IControl* target, int x, int y, const ImageStrip& listImage,
                               int columns)
    : IControl(plugin, PixelRect{x, y, x + listImage.width, y + listImage.height}), listImage_(listImage),
      target_(target), columns_(columns > 0 ? columns : 1) {}

double IDropDownChild::ValueAt(int x, int y) const {
    const PixelRect& r = Rect();
    const int n = listImage_.frames > 0 ? listImage_.frames : 1;
    const int c = columns_;
    const int rowsPerColumn = (n + c - 1) / c;
    if (n < 2 || listImage_.width <= 0)
        return 0.0; // a single choice is value 0
    int column = static_cast<int>((static_cast<double>(x - r.left) * c) / listImage_.width);
    if (column > c - 1)
        column = c - 1;
    if (column < 0)
        column = 0;
    int row = 0;
    while (row < n && !(y - r.top < (row + 1) * listImage_.height / rowsPerColumn))
        ++row;
    const double v = static_cast<double>(column * rowsPerColumn + row) / (n - 1);
    return v <= 1.0 ? v : 0.0;
}

void IDropDownChild::PointerDown(int x, int y, const MouseMods& mods) {
    if (mods.left && target_) {
        target_->SetValue(ValueAt(x, y));
        target_->MarkDirty(false);
        SetHidden(true);
    }
    MarkDirty(true);
}

bool IDropDownChild::Render(IGraphics& surface) {
    surface.BlitStrip(listImage_, Rect(), 0, 0, &Blend());
    return true;
}
