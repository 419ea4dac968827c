#include "IGraphics.h"

#include <cstdio>
#include <cstring>
#include <utility>

#include "IBitmapControl.h"
#include "IControl.h"
#include "IParamSpec.h"
#include "IPlugBase.h"
#include "LICE_MemBitmap.h"
#include "LICE_SysBitmap.h"

namespace {

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

// ---- the window ----

void IGraphics::Tick() {
    StepEntry();
    PixelRect dirty;
    if (redrawOnTimer_ && CollectDirty(&dirty))
        ShowDirty(dirty);
    if (endEditTicks_ > 0 && --endEditTicks_ == 0)
        FlushDeferredGesture();
}

void IGraphics::StepEntry() {
    if (!EntryOpen())
        return;
    switch (entry_.state) {
    case kEntryTyping:
        entry_.state = kEntryIdle;
        break;
    case kEntryCommit: {
        const std::string text = EntryText();
        IControl* control = entry_.control;
        const int param = entry_.param;
        CloseEntry(); // first: the value applied redraws the control without the entry over it
        ApplyEnteredText(control, param, text.c_str());
        break;
    }
    case kEntryCancel:
        CloseEntry();
        break;
    default:
        break;
    }
}

void IGraphics::EntryOpened(IControl* control, int param) {
    entry_ = TextEntry{control, param, kEntryIdle};
}

bool IGraphics::PressWithEntryOpen(bool right) {
    if (!EntryOpen())
        return false;
    if (!right) {
        entry_.state = kEntryCommit; // a click elsewhere commits
        return false;
    }
    entry_.state = kEntryCancel;
    if (entry_.param < 0)
        ApplyEnteredText(entry_.control, -1, "");
    return true;
}

void IGraphics::CloseEntry() {
    if (!EntryOpen())
        return;
    IControl* control = entry_.control;
    entry_ = TextEntry{};
    CloseEntryView();
    control->SetTextEntryActive(false);
    // Redrawn only: a value pushed here would reach the host outside any gesture, and a committed
    // value was already sent inside its own.
    control->MarkDirty(false);
}

void IGraphics::CloseSurfaceWindow() {
    if (!NativeWindow())
        return;
    // The host hears the end of a wheel gesture now, not never.
    if (endEditTicks_ != 0)
        FlushDeferredGesture();
    DestroySurfaceWindow();
}

bool IGraphics::SupportsWindowType(const char* type) const {
    const char* own = WindowType();
    return own && type && std::strcmp(own, type) == 0;
}

bool IGraphics::OpenWindow(void* parent, const char* type, IEditorRunLoop* runLoop) {
    if (!parent || !SupportsWindowType(type))
        return false;
    runLoop_ = runLoop;
    return OpenInParent(parent) != nullptr;
}

// ---- what a surface without a window answers ----

bool IGraphics::HostFolder(std::string* folder) {
    if (folder)
        folder->clear();
    return false;
}

bool IGraphics::ModuleFolder(std::string* folder) {
    if (folder)
        folder->clear();
    return false;
}

bool IGraphics::ChooseFile(std::string* path, bool forSave, const char* folder, const char* extensions) {
    (void)forSave, (void)folder, (void)extensions;
    if (path)
        path->clear();
    return false;
}

bool IGraphics::PickColor(ArgbColor* color, const char* title) {
    (void)color, (void)title;
    return false;
}

bool IGraphics::OpenWebPage(const char* url, const char* title, const char* confirmText,
                            const char* failText) {
    (void)url, (void)title, (void)confirmText, (void)failText;
    return false;
}
