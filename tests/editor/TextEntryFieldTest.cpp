#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "HostlessPlug.h"
#include "IGraphicsDrawnEntry.h"
#include "ILabelPrm.h"
#include "ISwitchControl.h"
#include "ITextEntryField.h"
#include "LICE_SysBitmap.h"
#ifndef _WIN32
#include "IGraphicsX11.h"
#endif

namespace {

using Key = IEditorSurface::EntryKey;

// The drawn value box on a surface without a window that lets boxes open.
class FieldSurface : public IGraphicsDrawnEntry {
  public:
    using IGraphicsDrawnEntry::IGraphicsDrawnEntry;
    bool PresentRect(const PixelRect&) override { return true; }

  protected:
    bool CanPrompt() override { return true; }
};

// Covers the surface, so what the box leaves behind is drawn over.
class Backdrop : public IControl {
  public:
    Backdrop(IPlugBase* plugin, const PixelRect& rect) : IControl(plugin, rect) {}
    bool Render(IGraphics& surface) override {
        surface.FillBox(ArgbColor{255, 60, 70, 80}, Rect());
        return true;
    }
};

constexpr int kCeiling = 0;
constexpr int kMode = 1;
const MouseMods kLeft{true, false, false, false, false};
const MouseMods kRight{false, true, false, false, false};

class TextEntryFieldTest : public ::testing::Test {
  protected:
    void SetUp() override {
        plug.GetParam(kCeiling)->DefineDouble("Ceiling", -40.0, -90.0, 0.0, 0.1, "dB");
        plug.GetParam(kMode)->DefineEnum("Mode", 0, 2);
        plug.GetParam(kMode)->AddDisplayText(0, "Off");
        plug.GetParam(kMode)->AddDisplayText(1, "On");
        for (int i = 0; i < 2; ++i)
            plug.GetParam(i)->SetValue(plug.GetParam(i)->Default());
        surface.CreateDrawBitmaps();
        surface.AddControl(new Backdrop(&plug, PixelRect{0, 0, 200, 100}));
        const TextStyle style("Arial", 13, ArgbColor{255, 255, 255, 255}, 0, kAlignFar);
        label = new ILabelPrm(&plug, kCeiling, PixelRect{40, 40, 120, 56}, style, style, "bypass", "dB");
        surface.AddControl(label);
        surface.ShowParamValue(kCeiling, -40.0, false); // as attaching the editor does
    }

    // A press on the label asks for its value box.
    ITextEntryField* Open() {
        surface.RoutePointerDown(80, 48, kLeft);
        surface.RoutePointerUp(80, 48, kLeft);
        return surface.EntryField();
    }
    void Type(const char* text) { surface.KeyToField(Key::Character, text, false); }
    void Press(Key key, bool shift = false) { surface.KeyToField(key, nullptr, shift); }
    double Ceiling() { return plug.GetParam(kCeiling)->Value(); }

    HostlessPlug<IPlugBase> plug{2, "2-2", 1, "field", "", "", 0, 0, 0, 0, false, false, false, 1};
    FieldSurface surface{&plug, 200, 100, 0};
    ILabelPrm* label = nullptr;
};

} // namespace

TEST_F(TextEntryFieldTest, TypingReplacesTheSelectionAndTheEditingKeysMoveByCharacters) {
    ITextEntryField* field = Open();
    ASSERT_TRUE(field);
    EXPECT_EQ(field->Text(), "-40.0");
    EXPECT_EQ(field->SelectionStart(), 0u);
    EXPECT_EQ(field->SelectionEnd(), 5u) << "all selected on open";
    const PixelRect& r = field->Rect();
    EXPECT_EQ(r.H(), 16);
    EXPECT_EQ((r.left + r.right) / 2, 80) << "centred over the label";

    Type("-1");
    EXPECT_EQ(field->Text(), "-1");
    Press(Key::Left);
    Type("2");
    EXPECT_EQ(field->Text(), "-21");
    Press(Key::Home);
    Press(Key::Delete);
    EXPECT_EQ(field->Text(), "21");
    Press(Key::End);
    Press(Key::Backspace);
    Type("5.\t5\n"); // control characters are not typed
    EXPECT_EQ(field->Text(), "25.5");
    Press(Key::Left, true);
    Press(Key::Left, true);
    Type("9");
    EXPECT_EQ(field->Text(), "259") << "shift extends the selection the typing replaces";

    Type("\xC3\xA9"); // a two-byte character: one step for the caret
    Press(Key::Left);
    EXPECT_EQ(field->Caret(), 3u);
    Press(Key::Right);
    Press(Key::Backspace);
    EXPECT_EQ(field->Text(), "259");
    Press(Key::Backspace);
    Press(Key::Backspace);
    Press(Key::Backspace);
    Press(Key::Backspace);
    Press(Key::Delete);
    EXPECT_EQ(field->Text(), "") << "nothing left to take at either end";
}

TEST_F(TextEntryFieldTest, EnterCommitsOnTheNextTickNotBefore) {
    ASSERT_TRUE(Open());
    EXPECT_TRUE(label->TextEntryActive());
    // As a host hands keys to the view.
    for (char16_t c : std::u16string(u"-12.5")) {
        EXPECT_TRUE(surface.KeyToEntry(Key::Character, c, true));
    }
    EXPECT_TRUE(surface.KeyToEntry(Key::Enter, 0, true));
    EXPECT_TRUE(surface.KeyToEntry(Key::Enter, 0, false));
    EXPECT_DOUBLE_EQ(Ceiling(), -40.0);
    EXPECT_TRUE(surface.EntryField());

    surface.Tick();
    EXPECT_FALSE(surface.EntryField());
    EXPECT_EQ(surface.ControlCount(), 2) << "the box left the control list";
    EXPECT_FALSE(label->TextEntryActive());
    EXPECT_NEAR(Ceiling(), -12.5, 1e-9);
    EXPECT_FALSE(surface.KeyToEntry(Key::Character, u'1', true)) << "no box, no key taken";

    // A left click elsewhere commits too; one inside the box only moves the caret.
    ITextEntryField* field = Open();
    ASSERT_TRUE(field);
    Type("-3");
    EXPECT_TRUE(surface.PressPointer(field->Rect().left + 1, field->Rect().top + 8, kLeft, false));
    EXPECT_EQ(field->Caret(), 0u);
    surface.RoutePointerUp(field->Rect().left + 1, field->Rect().top + 8, kLeft);
    surface.Tick();
    ASSERT_EQ(surface.EntryField(), field);
    surface.PressPointer(190, 90, kLeft, false);
    surface.RoutePointerUp(190, 90, kLeft);
    surface.Tick();
    EXPECT_FALSE(surface.EntryField());
    EXPECT_NEAR(Ceiling(), -3.0, 1e-9);
}

TEST_F(TextEntryFieldTest, EscapeAndARightClickCancel) {
    ASSERT_TRUE(Open());
    Type("-7");
    Press(Key::Escape);
    surface.Tick();
    EXPECT_FALSE(surface.EntryField());
    EXPECT_DOUBLE_EQ(Ceiling(), -40.0);

    ASSERT_TRUE(Open());
    Type("-8");
    EXPECT_FALSE(surface.PressPointer(190, 90, kRight, false)) << "the right click is used up";
    surface.Tick();
    EXPECT_FALSE(surface.EntryField());
    EXPECT_DOUBLE_EQ(Ceiling(), -40.0);
    EXPECT_FALSE(label->TextEntryActive());

    // A parameter with choices gets the popup, not a box.
    auto* mode = new ISwitchControl(&plug, 10, 70, kMode, ImageStrip{nullptr, 20, 20, 1, 0}, kBlendNormal, 0);
    surface.AddControl(mode);
    surface.PressPointer(15, 75, kRight, false);
    EXPECT_TRUE(surface.OpenPopup());
    EXPECT_FALSE(surface.EntryField());
}

TEST_F(TextEntryFieldTest, ItDrawsOverTheControlsAndGoesAgainWhenClosed) {
    const PixelRect all{0, 0, 200, 100};
    auto pixels = [&] {
        surface.RenderRect(all);
        const LICE_SysBitmap* bitmap = surface.DrawBitmap();
        return std::vector<LICE_pixel>(bitmap->Bits(), bitmap->Bits() + 200 * 100);
    };
    const std::vector<LICE_pixel> before = pixels();
    ITextEntryField* field = Open();
    ASSERT_TRUE(field);
    const std::vector<LICE_pixel> open = pixels();
    const PixelRect r = field->Rect();
    int box = 0, ink = 0, selected = 0;
    for (int y = r.top + 1; y < r.bottom - 1; ++y) { // inside the frame
        for (int x = r.left + 1; x < r.right - 1; ++x) {
            const LICE_pixel p = open[static_cast<size_t>(y * 200 + x)];
            box += p == 0xFFFAFAFAu;
            selected += p == 0xFFADD6FFu;
            ink += LICE_GETR(p) < 100 && LICE_GETB(p) < 100;
        }
    }
    EXPECT_GT(box, 0);
    EXPECT_GT(selected, 0) << "the text opens selected";
    EXPECT_GT(ink, 30) << "text and caret";
    EXPECT_EQ(open[static_cast<size_t>(r.top * 200 + r.left - 2)],
              before[static_cast<size_t>(r.top * 200 + r.left - 2)])
        << "nothing outside the box";

    Press(Key::Escape);
    surface.Tick();
    EXPECT_EQ(pixels(), before);
}

#ifndef _WIN32
namespace {

// A run loop that records what registers with it.
class RecordingLoop : public IEditorRunLoop {
  public:
    bool WatchDescriptor(int, IEditorRunLoopClient*) override { return ++registered, true; }
    bool StartTimer(int, IEditorRunLoopClient*) override { return ++registered, true; }
    void Stop(IEditorRunLoopClient*) override {}
    int registered = 0;
};

} // namespace

TEST_F(TextEntryFieldTest, TheX11WindowNeedsARunLoopAndADisplayAndOpensNoBoxWithoutAWindow) {
    IGraphicsX11 x11(&plug, 514, 420, 0, nullptr);
    EXPECT_TRUE(x11.SupportsWindowType("X11EmbedWindowID"));
    EXPECT_FALSE(x11.SupportsWindowType("HWND"));
    void* parent = reinterpret_cast<void*>(static_cast<uintptr_t>(0x1234));
    EXPECT_FALSE(x11.OpenWindow(parent, "X11EmbedWindowID", nullptr));

    // A display that is not there: nothing is left registered.
    const char* display = std::getenv("DISPLAY");
    const std::string saved = display ? display : "";
    setenv("DISPLAY", ":9876", 1);
    RecordingLoop loop;
    EXPECT_FALSE(x11.OpenWindow(parent, "X11EmbedWindowID", &loop));
    if (display)
        setenv("DISPLAY", saved.c_str(), 1);
    else
        unsetenv("DISPLAY");
    EXPECT_EQ(loop.registered, 0);
    EXPECT_FALSE(x11.IsWindowOpen());

    x11.CreateDrawBitmaps();
    auto* asking =
        new ILabelPrm(&plug, kCeiling, PixelRect{40, 40, 120, 56}, TextStyle(), TextStyle(), "a", "b");
    x11.AddControl(asking);
    x11.PromptValue(asking, plug.GetParam(kCeiling), true);
    EXPECT_FALSE(x11.EntryField());
}
#endif
