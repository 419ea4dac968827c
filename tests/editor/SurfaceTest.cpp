#include "EditorTestSupport.h"

#include <cmath>

#include "HostlessPlug.h"
#include "IBitmapControl.h"
#include "IKnobRotVal.h"
#include "ISliderImg.h"
#include "ISwitchControl.h"
#include "LICE_MemBitmap.h"
#include "LICE_SysBitmap.h"
#include "PromptPopup.h"

using namespace EditorLayout;

namespace {

// Records the order in which controls are drawn.
class DrawRecorder : public IControl {
  public:
    DrawRecorder(IPlugBase* plugin, const PixelRect& rect, int id, std::vector<int>* order)
        : IControl(plugin, rect), id_(id), order_(order) {}
    bool Render(IGraphics&) override {
        order_->push_back(id_);
        return true;
    }

  private:
    int id_;
    std::vector<int>* order_;
};

// A surface whose image 990 is 150 pixels wide.
class WideImageSurface : public IGraphicsHeadless {
  public:
    using IGraphicsHeadless::IGraphicsHeadless;
    LICE_IBitmap* LoadImageResource(int id, const char* name) override {
        return id == 990 ? new LICE_MemBitmap(150, 10) : IGraphicsHeadless::LoadImageResource(id, name);
    }
};

MouseMods Mods(bool left, bool right, bool ctrl = false) {
    return MouseMods{left, right, false, ctrl, false};
}

} // namespace

TEST_F(EditorTest, HitTestingCapturesTheBackgroundAndSkipsHiddenAndGrayedControls) {
    surface().RoutePointerDown(150, 70, EditorSession::Left()); // no control but the background there
    EXPECT_EQ(surface().CaptureIndex(), 0);
    surface().RoutePointerUp(150, 70, EditorSession::Left());
    EXPECT_EQ(surface().CaptureIndex(), -1);

    const int mono = indexOf(kMonoPosition), stereo = indexOf(kStereoPosition);
    ASSERT_TRUE(control(mono)->IsHidden());
    EXPECT_EQ(surface().ControlAt(258, 240), stereo) << "the hidden slider below is never hit";
    control(stereo)->SetGrayed(true);
    EXPECT_EQ(surface().ControlAt(258, 240), 0) << "nor a grayed one";
}

TEST_F(EditorTest, ReleaseOutsideThePressedControlStillReachesIt) {
    const int time = indexOf(kTime);
    int x, y;
    centreOf(time, &x, &y);
    surface().RoutePointerDown(x, y, EditorSession::Left());
    surface().RoutePointerDrag(x, y - 20, EditorSession::Left());
    surface().RoutePointerDrag(500, 10, EditorSession::Left());
    surface().RoutePointerUp(500, 10, EditorSession::Left());
    EXPECT_EQ(gestures(), "b1 p1 e1");
}

TEST_F(EditorTest, WheelNotchesInHalfASecondMakeOneGestureEndingTwelveTicksAfterTheLast) {
    int x, y;
    centreOf(indexOf(kTime), &x, &y);
    surface().RouteWheel(x, y, MouseMods{}, 1);
    session->Ticks(6);
    surface().RouteWheel(x, y, MouseMods{}, 1);
    session->Ticks(11);
    EXPECT_EQ(gestures(), "b1 p1");
    session->Ticks(1);
    EXPECT_EQ(gestures(), "b1 p1 e1");
    session->Ticks(30);
    EXPECT_EQ(gestures(), "b1 p1 e1");

    // Another gesture ends a pending one at once: the host never sees two open.
    clearEdits();
    int x2, y2;
    centreOf(indexOf(kPreDelay), &x2, &y2);
    surface().RouteWheel(x, y, MouseMods{}, -1);
    surface().RouteWheel(x2, y2, MouseMods{}, -1);
    EXPECT_EQ(gestures(), "b1 p1 e1 b0 p0");
    session->Ticks(12);
    EXPECT_EQ(gestures(), "b1 p1 e1 b0 p0 e0");
}

TEST_F(EditorTest, ASelectorsNewValueWaitsForAHeldKnobToBeReleased) {
    // The selector's value changes under its own press (the wheel), then a knob is pressed and held
    // across a tick: the selector's gesture must not end the knob's in the middle of its drag.
    const std::string s = std::to_string(kSurface), f = std::to_string(kFreq);
    int sx, sy, fx, fy;
    centreOf(indexOf(kSurface), &sx, &sy);
    centreOf(indexOf(kFreq), &fx, &fy);
    surface().RoutePointerDown(sx, sy, EditorSession::Left());
    surface().RouteWheel(sx, sy, EditorSession::Left(), 1);
    surface().RoutePointerDown(fx, fy, EditorSession::Left());
    surface().RoutePointerDrag(fx, fy - 10, EditorSession::Left());
    session->Ticks(1);
    surface().RoutePointerDrag(fx, fy - 20, EditorSession::Left());
    surface().RoutePointerUp(fx, fy - 20, EditorSession::Left());
    EXPECT_EQ(gestures(), "b" + s + " p" + s + " e" + s + " b" + f + " p" + f + " e" + f);
    session->Ticks(1);
    EXPECT_EQ(gestures(), "b" + s + " p" + s + " e" + s + " b" + f + " p" + f + " e" + f + " b" + s + " p" +
                              s + " e" + s);
}

TEST_F(EditorTest, WithoutStrictDrawingOverlappingControlsRedrawInListOrder) {
    std::vector<int> order;
    surface().AddControl(new DrawRecorder(&plug(), PixelRect{2, 40, 20, 60}, 1, &order));
    surface().AddControl(new DrawRecorder(&plug(), PixelRect{10, 50, 30, 70}, 2, &order));
    surface().AddControl(new DrawRecorder(&plug(), PixelRect{100, 60, 110, 70}, 3, &order));
    session->RenderAll();
    session->RenderAll(); // host values keep their controls dirty for one more frame
    order.clear();

    surface().SetStrictDrawing(false);
    surface().Control(surface().ControlCount() - 1 - 1)->MarkDirty(false); // control 2
    surface().RenderRect(PixelRect{0, 0, kWidth, kHeight});
    EXPECT_EQ(order, (std::vector<int>{1, 2})) << "the one below first, the distant one not at all";
}

TEST_F(EditorTest, RightClickOutsideAnOpenPopupClosesItAndOpensNothing) {
    const int count = surface().ControlCount();
    session->Click(258, 240, EditorSession::Right());
    ASSERT_NE(surface().OpenPopup(), nullptr);
    EXPECT_EQ(surface().ControlCount(), count + 1);

    session->Click(196, 240, EditorSession::Right()); // the slider, beside the popup
    EXPECT_EQ(surface().OpenPopup(), nullptr);
    EXPECT_EQ(surface().ControlCount(), count);
    session->Click(196, 240, EditorSession::Right());
    EXPECT_NE(surface().OpenPopup(), nullptr) << "the next right click opens it again";
}

TEST_F(EditorTest, SplittingGivesTwoHalvesAndNewNegativeIds) {
    WideImageSurface wide(&plug(), 200, 100, 0, nullptr);
    ImageStrip strip, left;
    wide.LoadStrip(&strip, 990, "wide", 1);
    ASSERT_EQ(strip.width, 150);
    wide.SplitStrip(&left, &strip, 0.5);
    EXPECT_EQ(left.width, 75);
    EXPECT_EQ(strip.width, 75);
    EXPECT_EQ(strip.partId, -2);
    wide.LoadStrip(&strip, 990, "wide", 1);
    wide.SplitStrip(&left, &strip, 0.5);
    EXPECT_EQ(strip.partId, -3);

    ImageStrip missing;
    wide.LoadStrip(&missing, 12345, "none", 3);
    EXPECT_EQ(missing.bitmap, nullptr);
    wide.SplitStrip(&left, &missing, 0.5); // an image that failed to load splits into nothing
    EXPECT_EQ(missing.width, 0);
    wide.AddControl(new IBitmapControl(&plug(), 0, 0, -1, missing, kBlendNormal, 0));
    EXPECT_TRUE(wide.RenderRect(PixelRect{0, 0, 200, 100}));
}

TEST_F(EditorTest, DoubleClickRestoresTheFirstHostValueOnceThereIsOne) {
    int x, y;
    centreOf(indexOf(kTime), &x, &y);
    auto* fresh = new IKnobRotVal(&plug(), kTime, x, y, ImageStrip{}, TextStyle(), -20, 300, 4.0, 56, 0,
                                  -0.15f, false, 0);
    surface().AddControl(fresh); // on top of the real knob, and never given a host value
    fresh->SetValue(0.3);
    surface().RouteDoubleClick(x, y, EditorSession::Left());
    EXPECT_EQ(fresh->Value(), 0.3);
    surface().RemoveControl(fresh);
    delete fresh;

    IControl* time = control(indexOf(kTime));
    const double first = time->Value();
    session->Drag(x, y, x, y - 40);
    ASSERT_NE(time->Value(), first);
    clearEdits();
    surface().RouteDoubleClick(x, y, EditorSession::Left());
    EXPECT_DOUBLE_EQ(time->Value(), first);
    EXPECT_EQ(gestures(), "b1 p1 e1");
}

TEST_F(EditorTest, WheelStepsAndTheFineModifier) {
    IControl* preDelay = control(indexOf(kPreDelay)); // an int parameter
    int x, y;
    centreOf(indexOf(kPreDelay), &x, &y);
    const double before = preDelay->Value();
    surface().RouteWheel(x, y, Mods(false, false, true), 1);
    EXPECT_NEAR(preDelay->Value() - before, 0.001, 1e-12);
    surface().RouteWheel(x, y, MouseMods{}, -1);
    EXPECT_NEAR(preDelay->Value() - before, -0.009, 1e-12);

    // A parameter of no declared kind and without texts steps like an int instead of dividing by 0.
    HostlessPlug<IPlugBase> bare(1, "2-2", 1, "bare", "", "", 0, 0, 0, 0, false, false, false, 1);
    ASSERT_EQ(bare.GetParam(0)->Type(), kTypeNone);
    IGraphicsHeadless bareSurface(&bare, 100, 100, 0, nullptr);
    auto* knob =
        new IKnobRotVal(&bare, 0, 25, 25, ImageStrip{}, TextStyle(), -17, 300, 4.0, 50, 0, -0.15f, false, 0);
    bareSurface.AddControl(knob);
    bareSurface.RouteWheel(10, 25, MouseMods{}, 1);
    EXPECT_NEAR(knob->Value(), 0.01, 1e-12);
    EXPECT_EQ(bare.edits.size(), 3u) << "begin, perform, end";

    const int space = indexOf(kSpace); // 60 texts: half a step of 1/60
    const double spaceBefore = control(space)->Value();
    centreOf(space, &x, &y);
    surface().RouteWheel(x, y, MouseMods{}, 1);
    EXPECT_NEAR(control(space)->Value() - spaceBefore, 0.5 / 60, 1e-12);
}

TEST_F(EditorTest, SwitchesStepThroughTheirFrames) {
    ImageStrip oneFrame;
    surface().LoadStrip(&oneFrame, kImgSlider, "img/slider.png", 1);
    auto* toggle = new ISwitchControl(&plug(), 480, 20, -1, oneFrame, kBlendNormal, 0);
    surface().AddControl(toggle);
    std::vector<double> seen;
    for (int i = 0; i < 3; ++i) {
        session->Click(485, 25);
        seen.push_back(toggle->Value());
    }
    EXPECT_EQ(seen, (std::vector<double>{1.0, 0.0, 1.0}));

    const int routing = indexOf(kEqMode);
    int x, y;
    centreOf(routing, &x, &y);
    seen.clear();
    for (int i = 0; i < 5; ++i) {
        session->Click(x, y);
        seen.push_back(control(routing)->Value());
    }
    EXPECT_EQ(seen, (std::vector<double>{0.25, 0.5, 0.75, 1.0, 0.0}));
    EXPECT_DOUBLE_EQ(plug().GetParam(kEqMode)->Value(), 0.0);
}

TEST_F(EditorTest, ContainsIncludesTheRightAndBottomEdges) {
    IControl* preDelay = control(indexOf(kPreDelay)); // 35, 91, 81, 137
    EXPECT_TRUE(preDelay->Contains(81, 137));
    EXPECT_TRUE(preDelay->Contains(35, 91));
    EXPECT_FALSE(preDelay->Contains(82, 137));
    EXPECT_FALSE(preDelay->Contains(81, 138));
}

TEST_F(EditorTest, AGrayedControlDrawsAtAQuarterOfItsOpacity) {
    const int routing = indexOf(kEqMode);
    const PixelRect r = control(routing)->Rect();
    auto pixels = [&] {
        session->RenderAll();
        std::vector<LICE_pixel> p;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                p.push_back(*surface().DrawBitmap()->PixelAt(x, y));
        return p;
    };
    control(routing)->SetHidden(true);
    const std::vector<LICE_pixel> bare = pixels();
    control(routing)->SetHidden(false);
    const std::vector<LICE_pixel> full = pixels();
    control(routing)->SetGrayed(true);
    const std::vector<LICE_pixel> grayed = pixels();

    // Where the switch is opaque and differs most from the background.
    size_t at = 0;
    int most = -1;
    for (size_t i = 0; i < full.size(); ++i) {
        const int d = std::abs(LICE_GETG(full[i]) - LICE_GETG(bare[i]));
        if (d > most)
            most = d, at = i;
    }
    ASSERT_GT(most, 40);
    const double expected = LICE_GETG(bare[at]) + 0.25 * (LICE_GETG(full[at]) - LICE_GETG(bare[at]));
    EXPECT_NEAR(LICE_GETG(grayed[at]), expected, 2.0);
}

TEST_F(EditorTest, HostValuesMarkOnlyWhatChanges) {
    session->RenderAll();
    session->RenderAll();
    PixelRect dirty;
    ASSERT_FALSE(surface().CollectDirty(&dirty));
    const double time = plug().GetParam(kTime)->NormalizedValue();
    surface().ShowParamValue(kTime, time, true);
    EXPECT_FALSE(surface().CollectDirty(&dirty)) << "the value shown already";

    // Bad input: values outside [0, 1] or not a number land on the range, unknown indices are ignored.
    surface().ShowParamValue(kTime, 7.0, true);
    EXPECT_EQ(control(indexOf(kTime))->Value(), 1.0);
    surface().ShowParamValue(kTime, std::nan(""), true);
    EXPECT_EQ(control(indexOf(kTime))->Value(), 0.0);
    surface().ShowParamValue(-5, 0.5, true);
    surface().ShowParamValue(999, 0.5, false);
    surface().ApplyEnteredText(control(indexOf(kTime)), 999, "12");
    surface().ApplyEnteredText(nullptr, kTime, "12");
    EXPECT_TRUE(surface().CollectDirty(&dirty));
    EXPECT_EQ(dirty, control(indexOf(kTime))->Rect());
}

TEST_F(EditorTest, TypedValuesReachTheHostAsOneGesture) {
    IControl* time = control(indexOf(kTime));
    surface().ApplyEnteredText(time, kTime, "12.5 s");
    EXPECT_DOUBLE_EQ(plug().GetParam(kTime)->Value(), 12.5);
    surface().ApplyEnteredText(control(indexOf(kStereo)), kStereo, "Mono");
    EXPECT_DOUBLE_EQ(plug().GetParam(kStereo)->Value(), 0.0);
    surface().ApplyEnteredText(time, kTime, "far too long");
    EXPECT_DOUBLE_EQ(plug().GetParam(kTime)->Value(), 0.1) << "no number is 0, held at the minimum";
    EXPECT_EQ(gestures(), "b1 p1 e1 b5 p5 e5 b1 p1 e1");
}
