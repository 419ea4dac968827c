#include "IGraphics.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "IBitmapControl.h"
#include "IControl.h"
#include "IEditableTextControl.h"
#include "IParamSpec.h"
#include "IPlugBase.h"
#include "LICE_Blit.h"
#include "LICE_CachedFont.h"
#include "LICE_MemBitmap.h"
#include "LICE_Shapes.h"
#include "LICE_SysBitmap.h"
#include "PromptPopup.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// Module-wide caches shared by every surface: images by resource id (negative for split parts) and
// fonts by size, orientation, style and name. Entries stay until the module unloads.
struct ImageCache {
    RecursiveLock lock;
    std::vector<std::pair<int, std::unique_ptr<LICE_IBitmap>>> entries;

    LICE_IBitmap* Find(int id) {
        for (auto& entry : entries)
            if (entry.first == id)
                return entry.second.get();
        return nullptr;
    }
};

ImageCache& Images() {
    static ImageCache cache;
    return cache;
}

struct FontEntry {
    int size;
    int orientation;
    int style;
    char name[37];
    std::unique_ptr<LICE_CachedFont> font;
};

struct FontCache {
    RecursiveLock lock;
    std::vector<FontEntry> entries;
};

FontCache& Fonts() {
    static FontCache cache;
    return cache;
}

bool SamePixels(const LICE_IBitmap& a, const LICE_IBitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height())
        return false;
    for (int y = 0; y < a.Height(); ++y)
        if (std::memcmp(a.PixelAt(0, y), b.PixelAt(0, y),
                        sizeof(LICE_pixel) * static_cast<size_t>(a.Width())))
            return false;
    return true;
}

// The drawing layer's mode and weight for a blend; absent means normal at full weight.
int LiceMode(const BlendSpec* blend) {
    switch (blend ? blend->method : kBlendNormal) {
    case kBlendOverwrite:
        return LICE_BLIT_MODE_COPY;
    case kBlendAdd:
        return LICE_BLIT_MODE_ADD | LICE_BLIT_USE_ALPHA;
    case kBlendDodge:
        return LICE_BLIT_MODE_DODGE | LICE_BLIT_USE_ALPHA;
    default:
        return LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA;
    }
}

float Weight(const BlendSpec* blend) {
    return blend ? blend->weight : 1.0f;
}

// Shapes take their colour's alpha as part of the weight.
float ShapeAlpha(const ArgbColor& color, const BlendSpec* blend) {
    return color.Alpha() * Weight(blend);
}

// Holds the plug-in's lock while the control list changes, so the audio thread's value pushes never
// walk a list being changed.
class ListChange {
  public:
    explicit ListChange(IPlugBase* plugin) : plugin_(plugin) {
        if (plugin_)
            plugin_->Lock().Enter();
    }
    ~ListChange() {
        if (plugin_)
            plugin_->Lock().Leave();
    }
    ListChange(const ListChange&) = delete;
    ListChange& operator=(const ListChange&) = delete;

  private:
    IPlugBase* plugin_;
};

} // namespace

TextStyle::TextStyle(const char* font, int height, ArgbColor colour, int styleBits, int alignment)
    : size(height), color(colour), style(styleBits), align(alignment) {
    CopyText(fontName, font ? font : "", sizeof(fontName));
}

IGraphics::IGraphics(IPlugBase* plugin, int width, int height, int frameRate)
    : plugin_(plugin), width_(width > 0 ? width : 0), height_(height > 0 ? height : 0),
      frameRate_(frameRate > 0 ? frameRate : 24) {
    popupStyle_.text = TextStyle("Arial", 15, ArgbColor{200, 255, 255, 255});
    popupStyle_.background = ArgbColor{245, 50, 50, 50};
    popupStyle_.highlight = ArgbColor{75, 200, 200, 200};
}

IGraphics::~IGraphics() {
    ListChange change(plugin_);
    while (!controls_.empty())
        controls_.pop_back();
    retired_.clear();
}

// ---- controls ----

int IGraphics::AddControl(IControl* control) {
    if (!control)
        return -1;
    control->AttachTo(this);
    ListChange change(plugin_);
    controls_.emplace_back(control);
    return ControlCount() - 1;
}

int IGraphics::AddBackground(int id, const char* name) {
    ImageStrip strip;
    LoadStrip(&strip, id, name, 1);
    auto* background = new IBitmapControl(plugin_, 0, 0, -1, strip, kBlendOverwrite, 0);
    background->AttachTo(this);
    ListChange change(plugin_);
    controls_.insert(controls_.begin(), std::unique_ptr<IControl>(background));
    if (captureIndex_ >= 0)
        ++captureIndex_;
    if (hoverIndex_ >= 0)
        ++hoverIndex_;
    return 0;
}

int IGraphics::IndexOf(const IControl* control) const {
    for (int i = 0; i < ControlCount(); ++i)
        if (controls_[static_cast<size_t>(i)].get() == control)
            return i;
    return -1;
}

std::unique_ptr<IControl> IGraphics::TakeControl(int index) {
    std::unique_ptr<IControl> taken;
    {
        ListChange change(plugin_);
        taken = std::move(controls_[static_cast<size_t>(index)]);
        controls_.erase(controls_.begin() + index);
    }
    for (int* i : {&captureIndex_, &hoverIndex_}) {
        if (*i == index)
            *i = -1;
        else if (*i > index)
            --*i;
    }
    return taken;
}

void IGraphics::RemoveControl(IControl* control) {
    const int index = IndexOf(control);
    if (index >= 0)
        TakeControl(index).release(); // the caller keeps the control
}

IControl* IGraphics::Control(int index) const {
    return index >= 0 && index < ControlCount() ? controls_[static_cast<size_t>(index)].get() : nullptr;
}

void IGraphics::DeleteRetired() {
    retired_.clear();
}

void IGraphics::HideParamControls(int paramIndex, bool hide) {
    for (auto& control : controls_)
        if (control->ParamIndex() == paramIndex && paramIndex >= 0)
            control->SetHidden(hide);
}

void IGraphics::ShowParamValue(int paramIndex, double value, bool normalized) {
    if (paramIndex < 0)
        return;
    if (!normalized) {
        const IParamSpec* param = plugin_ ? plugin_->GetParam(paramIndex) : nullptr;
        if (!param)
            return;
        value = param->NormalizedFromPlain(value);
    }
    for (auto& control : controls_)
        if (control->ParamIndex() == paramIndex)
            control->ApplyHostValue(value);
}

void IGraphics::RedrawAll() {
    if (!controls_.empty())
        controls_.front()->MarkDirty(false);
}

void IGraphics::CreateDrawBitmaps() {
    drawBitmap_ = std::make_unique<LICE_SysBitmap>(width_, height_);
    scratchBitmap_ = std::make_unique<LICE_MemBitmap>();
}

void IGraphics::ResizeSurface(int width, int height) {
    width_ = width > 0 ? width : 0;
    height_ = height > 0 ? height : 0;
    hoverIndex_ = -1;
    captureIndex_ = -1;
    {
        ListChange change(plugin_);
        while (!controls_.empty())
            controls_.pop_back();
        openPopup_ = nullptr;
        popupDismissed_ = false;
    }
    if (drawBitmap_)
        drawBitmap_->Resize(width_, height_);
    if (plugin_)
        plugin_->ResizeEditor(width_, height_);
}

// ---- images ----

void IGraphics::LoadStrip(ImageStrip* strip, int id, const char* name, int frames) {
    if (!strip)
        return;
    ImageCache& cache = Images();
    LICE_IBitmap* bitmap = nullptr;
    {
        LockGuard guard(cache.lock);
        bitmap = cache.Find(id);
        if (!bitmap) {
            if (LICE_IBitmap* loaded = LoadImageResource(id, name)) {
                cache.entries.emplace_back(id, std::unique_ptr<LICE_IBitmap>(loaded));
                bitmap = loaded;
            }
        }
    }
    *strip = ImageStrip{};
    strip->bitmap = bitmap;
    strip->width = bitmap ? bitmap->Width() : 0;
    strip->height = bitmap ? bitmap->Height() : 0;
    strip->frames = frames > 0 ? frames : 1;
}

void IGraphics::SplitStrip(ImageStrip* left, ImageStrip* strip, double fraction) {
    if (!left || !strip)
        return;
    if (!(fraction >= 0.0))
        fraction = 0.0;
    if (fraction > 1.0)
        fraction = 1.0;
    const int width = strip->bitmap ? strip->bitmap->Width() : 0;
    const int height = strip->bitmap ? strip->bitmap->Height() : 0;
    const int cut = static_cast<int>(width * fraction);
    const int rest = static_cast<int>((1.0 - fraction) * width);

    auto leftPart = std::make_unique<LICE_MemBitmap>(cut, height);
    LICE_Blit(leftPart.get(), strip->bitmap, 0, 0, 0, 0, cut, height, 1.0f, LICE_BLIT_MODE_COPY);
    auto rightPart = std::make_unique<LICE_MemBitmap>(rest, height);
    LICE_Blit(rightPart.get(), strip->bitmap, 0, 0, cut, 0, rest, height, 1.0f, LICE_BLIT_MODE_COPY);

    const int id = --nextImageId_;
    LICE_IBitmap* cached = nullptr;
    {
        ImageCache& cache = Images();
        LockGuard guard(cache.lock);
        // Every editor of the module splits the same images in the same order: the part a surface made
        // before is reused, so the cache does not grow with each new instance.
        LICE_IBitmap* existing = cache.Find(id);
        if (existing && SamePixels(*existing, *leftPart)) {
            cached = existing;
        } else {
            cached = leftPart.get();
            cache.entries.emplace_back(id, std::move(leftPart));
        }
    }
    *left = ImageStrip{cached, cached->Width(), cached->Height(), 1, 0};
    *strip = ImageStrip{rightPart.get(), rest, height, 1, id};
    ownedParts_.push_back(std::move(rightPart));
}

void IGraphics::CachedStrip(ImageStrip* strip, int id) {
    if (!strip)
        return;
    ImageCache& cache = Images();
    LockGuard guard(cache.lock);
    LICE_IBitmap* bitmap = cache.Find(id);
    *strip = ImageStrip{bitmap, bitmap ? bitmap->Width() : 0, bitmap ? bitmap->Height() : 0, 1, 0};
}

// ---- drawing ----

void IGraphics::BlitStrip(const ImageStrip& strip, const PixelRect& dest, int srcX, int srcY,
                          const BlendSpec* blend) {
    const PixelRect clipped = dest.Intersect(drawRect_);
    if (clipped.Empty() || !strip.bitmap)
        return;
    LICE_Blit(drawBitmap_.get(), strip.bitmap, clipped.left, clipped.top, srcX + clipped.left - dest.left,
              srcY + clipped.top - dest.top, clipped.W(), clipped.H(), Weight(blend), LiceMode(blend));
}

void IGraphics::BlitFrame(const ImageStrip& strip, const PixelRect& dest, int frame, const BlendSpec* blend,
                          bool vertical) {
    int srcX = 0;
    int srcY = 0;
    if (strip.frames >= 2 && frame >= 2) {
        if (vertical)
            srcY = static_cast<int>(static_cast<double>(strip.height) * (frame - 1) / strip.frames + 0.5);
        else
            srcX = static_cast<int>(static_cast<double>(strip.width) * (frame - 1) / strip.frames + 0.5);
    }
    BlitStrip(strip, dest, srcX, srcY, blend);
}

void IGraphics::BlitRotated(const ImageStrip& strip, int centreX, int centreY, double angle,
                            const BlendSpec* blend, double shiftX, double shiftY) {
    if (!strip.bitmap)
        return;
    const float w = static_cast<float>(strip.bitmap->Width());
    const float h = static_cast<float>(strip.bitmap->Height());
    LICE_RotatedBlit(drawBitmap_.get(), strip.bitmap, static_cast<float>(centreX) - w / 2.0f,
                     static_cast<float>(centreY) - h / 2.0f, w, h, static_cast<float>(shiftX),
                     static_cast<float>(shiftY), w, h, static_cast<float>(angle), Weight(blend),
                     LiceMode(blend));
}

void IGraphics::StrokeLine(const ArgbColor& color, float x1, float y1, float x2, float y2,
                           const BlendSpec* blend, bool antialiased) {
    LICE_Line(drawBitmap_.get(), x1, y1, x2, y2, color.Packed(), ShapeAlpha(color, blend), LiceMode(blend),
              antialiased);
}

void IGraphics::FillBox(const ArgbColor& color, const PixelRect& rect, const BlendSpec* blend) {
    LICE_FillRect(drawBitmap_.get(), rect.left, rect.top, rect.W(), rect.H(), color.Packed(),
                  ShapeAlpha(color, blend), LiceMode(blend));
}

void IGraphics::OutlineRounded(const ArgbColor& color, const PixelRect& rect, int radius,
                               const BlendSpec* blend, bool antialiased) {
    LICE_IBitmap* dest = drawBitmap_.get();
    const float l = static_cast<float>(rect.left);
    const float t = static_cast<float>(rect.top);
    const float r = static_cast<float>(rect.right - 1);
    const float b = static_cast<float>(rect.bottom - 1);
    const float rad = static_cast<float>(radius > 0 ? radius : 0);
    const LICE_pixel c = color.Packed();
    const float alpha = ShapeAlpha(color, blend);
    const int mode = LiceMode(blend);
    LICE_Line(dest, l + rad, t, r - rad, t, c, alpha, mode, antialiased);
    LICE_Line(dest, l + rad, b, r - rad, b, c, alpha, mode, antialiased);
    LICE_Line(dest, l, t + rad, l, b - rad, c, alpha, mode, antialiased);
    LICE_Line(dest, r, t + rad, r, b - rad, c, alpha, mode, antialiased);
    if (rad <= 0.0f)
        return;
    const float q = static_cast<float>(kPi / 2.0);
    LICE_Arc(dest, l + rad, t + rad, rad, -q, 0.0f, c, alpha, mode, antialiased);
    LICE_Arc(dest, r - rad, t + rad, rad, 0.0f, q, c, alpha, mode, antialiased);
    LICE_Arc(dest, r - rad, b - rad, rad, q, 2.0f * q, c, alpha, mode, antialiased);
    LICE_Arc(dest, l + rad, b - rad, rad, 2.0f * q, 3.0f * q, c, alpha, mode, antialiased);
}

void IGraphics::FillRounded(const ArgbColor& color, const PixelRect& rect, int radius, int corners,
                            const BlendSpec* blend, bool antialiased) {
    if (corners != 4 && corners != 2 && corners != -2)
        return;
    LICE_IBitmap* dest = drawBitmap_.get();
    const int w = rect.W();
    const int h = rect.H();
    int rad = radius > 0 ? radius : 0;
    if (rad * 2 > w)
        rad = w / 2;
    if (rad * 2 > h)
        rad = h / 2;
    const LICE_pixel c = color.Packed();
    const float alpha = ShapeAlpha(color, blend);
    const int mode = LiceMode(blend);
    const bool top = corners != -2;
    const bool bottom = corners != 2;
    // Bands and corner quarters that never overlap, so a translucent colour covers each pixel once. The
    // quarters are centred between pixels, so each fills exactly its rad x rad corner box.
    const int bodyTop = rect.top + (top ? rad : 0);
    const int bodyBottom = rect.bottom - (bottom ? rad : 0);
    LICE_FillRect(dest, rect.left, bodyTop, w, bodyBottom - bodyTop, c, alpha, mode);
    if (rad <= 0)
        return;
    const float q = static_cast<float>(kPi / 2.0);
    const float fr = static_cast<float>(rad);
    const float left = static_cast<float>(rect.left + rad) - 0.5f;
    const float right = static_cast<float>(rect.right - rad) - 0.5f;
    if (top) {
        LICE_FillRect(dest, rect.left + rad, rect.top, w - 2 * rad, rad, c, alpha, mode);
        const float cy = static_cast<float>(rect.top + rad) - 0.5f;
        LICE_FillArc(dest, left, cy, fr, -q, 0.0f, c, alpha, mode, antialiased);
        LICE_FillArc(dest, right, cy, fr, 0.0f, q, c, alpha, mode, antialiased);
    }
    if (bottom) {
        LICE_FillRect(dest, rect.left + rad, rect.bottom - rad, w - 2 * rad, rad, c, alpha, mode);
        const float cy = static_cast<float>(rect.bottom - rad) - 0.5f;
        LICE_FillArc(dest, right, cy, fr, q, 2.0f * q, c, alpha, mode, antialiased);
        LICE_FillArc(dest, left, cy, fr, 2.0f * q, 3.0f * q, c, alpha, mode, antialiased);
    }
}

void IGraphics::FillDisc(const ArgbColor& color, float centreX, float centreY, float radius,
                         const BlendSpec* blend, bool antialiased) {
    LICE_FillCircle(drawBitmap_.get(), centreX, centreY, radius, color.Packed(), ShapeAlpha(color, blend),
                    LiceMode(blend), antialiased);
}

LICE_CachedFont* IGraphics::FontFor(TextStyle* style) {
    if (!style)
        return nullptr;
    if (style->cachedFont)
        return style->cachedFont;
    FontCache& cache = Fonts();
    LockGuard guard(cache.lock);
    const int bits = style->style & 3;
    for (FontEntry& entry : cache.entries) {
        if (entry.size == style->size && entry.orientation == style->orientation && entry.style == bits &&
            std::strcmp(entry.name, style->fontName) == 0) {
            style->cachedFont = entry.font.get();
            return style->cachedFont;
        }
    }
    LICE_FontSpec spec;
    spec.face = style->fontName;
    spec.height = style->size;
    spec.weight = (bits & 1) ? 700 : 400;
    spec.italic = (bits & 2) != 0;
    spec.orientation = style->orientation;
    spec.quality = style->quality;
    std::unique_ptr<LICE_CachedFont> font(LICE_CachedFont::Create(spec));
    if (!font)
        return nullptr;
    FontEntry entry{style->size, style->orientation, bits, {}, std::move(font)};
    CopyText(entry.name, style->fontName, sizeof(entry.name));
    style->cachedFont = entry.font.get();
    cache.entries.push_back(std::move(entry));
    return style->cachedFont;
}

bool IGraphics::DrawLabel(TextStyle* style, const char* text, const PixelRect& rect) {
    if (!text || !text[0])
        return true;
    LICE_CachedFont* font = FontFor(style);
    if (!font)
        return false;
    font->SetTextColor(style->color.Packed());
    int flags = LICE_DT_NOCLIP;
    if (style->color.a != 255)
        flags |= LICE_DT_USEFGALPHA;
    if (style->align == kAlignCentre)
        flags |= LICE_DT_CENTER;
    else if (style->align == kAlignFar)
        flags |= LICE_DT_RIGHT;
    font->DrawText(drawBitmap_.get(), text, LICE_Rect{rect.left, rect.top, rect.right, rect.bottom}, flags);
    return true;
}

// ---- events ----

int IGraphics::ControlAt(int x, int y) const {
    if (captureIndex_ >= 0 && captureIndex_ < ControlCount())
        return captureIndex_;
    for (int i = ControlCount() - 1; i >= 0; --i) {
        const IControl& control = *controls_[static_cast<size_t>(i)];
        if (!control.IsHidden() && !control.IsGrayed() && control.Contains(x, y))
            return i;
    }
    return -1;
}

void IGraphics::EndUnreleasedGesture() {
    if (openGesture_ >= 0 && openGesture_ != deferredGesture_)
        EndGesture(openGesture_);
}

void IGraphics::RoutePointerDown(int x, int y, const MouseMods& mods) {
    DeleteRetired();
    EndUnreleasedGesture(); // a second button pressed before the first came up
    lastX_ = lastY_ = -1;
    captureIndex_ = -1;
    const int i = ControlAt(x, y);
    if (i < 0)
        return;
    IControl* control = Control(i);
    captureIndex_ = i;
    lastX_ = x;
    lastY_ = y;
    if (openPopup_ && static_cast<IControl*>(openPopup_) != control && control->Owner() != openPopup_ &&
        IndexOf(openPopup_) >= 0) {
        DismissPopup(false);
        captureIndex_ = IndexOf(control);
    }
    if (control->IsBound())
        BeginGesture(control->ParamIndex());
    control->PointerDown(x, y, mods);
}

void IGraphics::RoutePointerUp(int x, int y, const MouseMods& mods) {
    DeleteRetired();
    const bool pressed = captureIndex_ >= 0;
    const int i = ControlAt(x, y);
    lastX_ = lastY_ = -1;
    captureIndex_ = -1;
    IControl* control = Control(i);
    if (!control)
        return;
    // A release with no press before it (the one after a double click, or a press outside the editor)
    // must not send a bound control's value outside any gesture.
    if (!pressed && control->IsBound() && openGesture_ != control->ParamIndex())
        return;
    control->PointerUp(x, y, mods);
    if (control->IsBound())
        EndGesture(control->ParamIndex());
}

void IGraphics::RoutePointerDrag(int x, int y, const MouseMods& mods) {
    DeleteRetired();
    IControl* control = Control(captureIndex_);
    if (!control || (x == lastX_ && y == lastY_))
        return;
    const int dx = x - lastX_;
    const int dy = y - lastY_;
    lastX_ = x;
    lastY_ = y;
    control->PointerDrag(x, y, dx, dy, mods);
}

bool IGraphics::RouteDoubleClick(int x, int y, const MouseMods& mods) {
    DeleteRetired();
    EndUnreleasedGesture();
    lastX_ = lastY_ = -1;
    captureIndex_ = -1;
    const int i = ControlAt(x, y);
    IControl* control = Control(i);
    if (!control)
        return false;
    const int param = control->ParamIndex();
    if (!control->DoubleClickAsPress()) {
        // A whole gesture of its own: the release that follows may land anywhere.
        if (param >= 0)
            BeginGesture(param);
        control->PointerDoubleClick(x, y, mods);
        if (param >= 0)
            EndGesture(param);
        return false;
    }
    if (param >= 0)
        BeginGesture(param);
    captureIndex_ = i;
    lastX_ = x;
    lastY_ = y;
    control->PointerDown(x, y, mods);
    return true;
}

void IGraphics::RouteWheel(int x, int y, const MouseMods& mods, double notches) {
    DeleteRetired();
    IControl* control = Control(ControlAt(x, y));
    if (!control)
        return;
    const int param = control->ParamIndex();
    if (param < 0 || !plugin_) {
        control->WheelTurned(x, y, mods, notches);
        return;
    }
    // Notches in quick succession make one gesture, ended half a second after the last; a wheel turn
    // while the button holds a gesture on the same parameter belongs to that gesture.
    const bool wheelGesture = deferredGesture_ == param && openGesture_ == param;
    const bool pressGesture = !wheelGesture && openGesture_ == param;
    if (!wheelGesture && !pressGesture)
        BeginGesture(param);
    plugin_->DeferredGestureStart(param);
    control->WheelTurned(x, y, mods, notches);
    if (pressGesture)
        return;
    if (plugin_->Editor() == this) {
        deferredGesture_ = param;
        plugin_->EndParamEditDeferred(param);
    } else {
        EndGesture(param); // no countdown without being the plug-in's editor
    }
}

bool IGraphics::RouteHover(int x, int y, const MouseMods& mods) {
    if (!hoverEnabled_)
        return false;
    DeleteRetired();
    const int i = ControlAt(x, y);
    IControl* control = Control(i);
    if (!control)
        return true;
    lastX_ = x;
    lastY_ = y;
    control->PointerHover(x, y, mods);
    if (control->IsBound() && plugin_)
        plugin_->ParamHovered(control->ParamIndex());
    if (hoverIndex_ >= 0 && hoverIndex_ != i) {
        if (IControl* previous = Control(hoverIndex_))
            previous->PointerLeft();
    }
    hoverIndex_ = i;
    return true;
}

void IGraphics::RoutePointerLeft() {
    DeleteRetired();
    for (auto& control : controls_)
        control->PointerLeft();
    hoverIndex_ = -1;
}

void IGraphics::RouteKey(int x, int y, int key) {
    DeleteRetired();
    if (IControl* control = Control(ControlAt(x, y)))
        control->KeyPressed(x, y, key);
}

void IGraphics::RouteDrop(int x, int y, const char* path) {
    DeleteRetired();
    lastX_ = lastY_ = -1;
    captureIndex_ = -1;
    IControl* control = Control(ControlAt(x, y));
    if (!control)
        return;
    control->FileDropped(x, y, path);
    if (control->IsBound())
        EndGesture(control->ParamIndex());
}

void IGraphics::ClearPointer() {
    lastX_ = lastY_ = -1;
    captureIndex_ = -1;
    hoverIndex_ = -1;
}

// ---- gestures ----

void IGraphics::BeginGesture(int paramIndex) {
    if (!plugin_ || paramIndex < 0)
        return;
    if (deferredGesture_ >= 0)
        FlushDeferredGesture();
    if (openGesture_ >= 0) // a press whose release never came
        plugin_->EndParamEdit(openGesture_);
    plugin_->BeginParamEdit(paramIndex);
    openGesture_ = paramIndex;
}

void IGraphics::EndGesture(int paramIndex) {
    if (!plugin_ || paramIndex < 0 || openGesture_ != paramIndex)
        return;
    if (deferredGesture_ == paramIndex) {
        FlushDeferredGesture(); // its end is already on its way
        return;
    }
    openGesture_ = -1;
    plugin_->EndParamEdit(paramIndex);
}

void IGraphics::FlushDeferredGesture() {
    if (plugin_)
        plugin_->FlushDeferredEndEdit();
}

void IGraphics::SetEndEditCountdown(int ticks) {
    if (ticks > 0) {
        StartEndEditCountdown(ticks);
        return;
    }
    StopEndEditCountdown();
    // The plug-in sends the deferred end now.
    if (deferredGesture_ >= 0 && openGesture_ == deferredGesture_)
        openGesture_ = -1;
    deferredGesture_ = -1;
}

// ---- redraw ----

bool IGraphics::CollectDirty(PixelRect* rect) {
    if (!rect)
        return false;
    if (showControlBounds_) {
        *rect = drawRect_;
        return true;
    }
    PixelRect dirty;
    bool any = false;
    for (auto& control : controls_) {
        if (control->NeedsRedraw()) {
            dirty = dirty.Union(control->Rect());
            any = true;
        }
    }
    *rect = dirty;
    return any;
}

bool IGraphics::RenderRect(const PixelRect& rect) {
    DeleteRetired();
    if (controls_.empty())
        return true;
    if (!drawBitmap_)
        CreateDrawBitmaps();
    // Controls may be added while drawing (a list that opens); walk by index and stop at those present
    // when the pass began.
    const int count = ControlCount();
    if (strictDrawing_) {
        drawRect_ = rect;
        for (int i = 0; i < count && i < ControlCount(); ++i) {
            IControl* control = Control(i);
            if (!control->IsHidden() && rect.Overlaps(control->Rect()))
                control->Render(*this);
        }
        for (int i = 0; i < ControlCount(); ++i)
            Control(i)->MarkClean();
    } else if (controls_.front()->NeedsRedraw()) {
        drawRect_ = controls_.front()->Rect();
        for (int i = 0; i < count && i < ControlCount(); ++i) {
            IControl* control = Control(i);
            if (i == 0 || !control->IsHidden())
                control->Render(*this);
            control->MarkClean();
        }
    } else {
        for (int i = 1; i < count && i < ControlCount(); ++i) {
            IControl* dirty = Control(i);
            if (!dirty->NeedsRedraw())
                continue;
            drawRect_ = dirty->Rect();
            for (int j = 0; j < ControlCount(); ++j) {
                IControl* control = Control(j);
                if (!control->IsHidden() && (j == i || control->Rect().Overlaps(drawRect_)))
                    control->Render(*this);
            }
            dirty->MarkClean();
        }
    }
    if (showControlBounds_)
        DrawControlBounds();
    return PresentRect(rect);
}

void IGraphics::DrawControlBounds() {
    const ArgbColor green{255, 0, 255, 0};
    for (int i = 1; i < ControlCount(); ++i) {
        const PixelRect& r = Control(i)->Rect();
        const float l = static_cast<float>(r.left), t = static_cast<float>(r.top);
        const float rr = static_cast<float>(r.right), b = static_cast<float>(r.bottom);
        StrokeLine(green, l, t, rr, t);
        StrokeLine(green, rr, t, rr, b);
        StrokeLine(green, rr, b, l, b);
        StrokeLine(green, l, b, l, t);
    }
    char text[32];
    std::snprintf(text, sizeof(text), "x: %i, y: %i", lastX_, lastY_);
    TextStyle style("Arial", 20, green, 0, kAlignCentre);
    DrawLabel(&style, text, PixelRect{width_ - 150, height_ - 20, width_, height_});
}

bool IGraphics::RedrawDirty() {
    PixelRect dirty;
    if (!CollectDirty(&dirty))
        return false;
    RenderRect(dirty);
    return true;
}

// ---- text entry and popups ----

void IGraphics::ApplyEnteredText(IControl* control, int paramIndex, const char* text) {
    if (!text)
        text = "";
    IParamSpec* param = plugin_ && paramIndex >= 0 ? plugin_->GetParam(paramIndex) : nullptr;
    if (param) {
        double plain = 0.0;
        if (!(param->DisplayTextCount() > 0 && param->ValueForDisplayText(text, &plain))) {
            plain = std::strtod(text, nullptr);
            if (param->NegateDisplay())
                plain = -plain;
        }
        if (control && control->IsBound()) {
            BeginGesture(paramIndex);
            control->ApplyEnteredValue(param->NormalizedFromPlain(param->Clamped(plain)));
            EndGesture(paramIndex);
        }
        return;
    }
    if (auto* editable = dynamic_cast<IEditableTextControl*>(control))
        if (editable->AcceptsEdits())
            editable->SetText(text);
}

void IGraphics::OpenChoicePopup(IControl* control) {
    const IParamSpec* param = control ? control->Param() : nullptr;
    if (!param || openPopup_)
        return;
    const PixelRect& owner = control->Rect();
    auto* popup = new PromptPopup(plugin_, owner.left, owner.top, 70, 1, popupStyle_);
    AddControl(popup);
    openPopup_ = popup;
    popupDismissed_ = false;
    popup->SetHidden(true);
    for (int i = 0; i < param->DisplayTextCount(); ++i)
        popup->AddItem(param->DisplayTextAt(i).text);

    // Centred over the control, kept 6 pixels inside the editor.
    const PixelRect& r = popup->Rect();
    int tx = static_cast<int>((owner.W() - r.W()) * 0.5);
    if (r.left + tx <= 5)
        tx = 6 - r.left;
    else if (r.left + tx + r.W() > width_ - 6)
        tx = width_ - r.left - r.W() - 6;
    int ty = static_cast<int>((owner.H() - r.H()) * 0.5);
    if (r.top + ty <= 5)
        ty = 6 - r.top;
    else if (r.top + ty + r.H() > height_ - 6)
        ty = height_ - r.top - r.H() - 6;
    popup->MoveBy(tx, ty);
    popup->BindTo(control->ParamIndex(), control);
}

void IGraphics::DismissPopup(bool keepReference) {
    if (!openPopup_)
        return;
    PromptPopup* popup = openPopup_;
    if (!keepReference && popup->Owner())
        popup->Owner()->ChoiceMade("", -1);
    const int index = IndexOf(popup);
    if (index >= 0)
        retired_.push_back(TakeControl(index)); // deleted once the event that closed it is over
    openPopup_ = nullptr;
    popupDismissed_ = !keepReference;
    RedrawAll();
}
