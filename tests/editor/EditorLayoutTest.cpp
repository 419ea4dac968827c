#include "EditorTestSupport.h"

#include "IBitmapControl.h"
#include "IBypass.h"
#include "IDropDown.h"
#include "IDropDownChild.h"
#include "IKnobRotVal.h"
#include "ILabelPrm.h"
#include "ISliderImg.h"
#include "ISwitchControl.h"
#include "ITextControl.h"
#include "IURLOpen.h"
#include "LICE_SysBitmap.h"

using namespace EditorLayout;

namespace {

bool IsKind(IControl* c, ControlKind kind) {
    switch (kind) {
    case ControlKind::VersionText:
        return dynamic_cast<ITextControl*>(c);
    case ControlKind::ThresholdLabel:
        return dynamic_cast<ILabelPrm*>(c);
    case ControlKind::ActivityLamp:
        return dynamic_cast<IBypass*>(c);
    case ControlKind::Link:
        return dynamic_cast<IURLOpen*>(c);
    case ControlKind::Knob:
        return dynamic_cast<IKnobRotVal*>(c);
    case ControlKind::DropDown:
        return dynamic_cast<IDropDown*>(c);
    case ControlKind::Slider:
        return dynamic_cast<ISliderImg*>(c);
    case ControlKind::Switch:
        return dynamic_cast<ISwitchControl*>(c);
    }
    return false;
}

std::vector<LICE_pixel> Pixels(IGraphicsHeadless& surface, const PixelRect& r) {
    std::vector<LICE_pixel> p;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            p.push_back(*surface.DrawBitmap()->PixelAt(x, y));
    return p;
}

} // namespace

TEST_F(EditorTest, AnInstanceOwnsItsWholeEditorInAttachOrder) {
    ASSERT_EQ(surface().ControlCount(), 1 + kControlCount);
    EXPECT_EQ(control(0)->Rect(), (PixelRect{0, 0, kWidth, kHeight}));
    EXPECT_EQ(control(0)->Blend().method, kBlendOverwrite);
    for (int i = 0; i < kControlCount; ++i) {
        const Control& c = kControls[i];
        IControl* got = control(i + 1);
        EXPECT_TRUE(IsKind(got, c.kind)) << "control " << i + 1;
        EXPECT_EQ(got->ParamIndex(), c.param) << "control " << i + 1;
        EXPECT_EQ(got->Rect(), (PixelRect{c.left, c.top, c.right, c.bottom})) << "control " << i + 1;
    }
    EXPECT_EQ(as<ITextControl>(1)->Text(), "v2.1");
    EXPECT_TRUE(surface().HoverEnabled());
    EXPECT_EQ(plug().Editor(), &surface());
}

TEST_F(EditorTest, OnePlacementSliderShowsAtATimeFollowingStereo) {
    IControl* mono = control(indexOf(kMonoPosition));
    IControl* stereo = control(indexOf(kStereoPosition));
    EXPECT_TRUE(mono->IsHidden());
    EXPECT_FALSE(stereo->IsHidden());
    session->Process({{kStereo, 0.0}}, std::vector<float>(64, 0.0f)); // "Mono"
    EXPECT_FALSE(mono->IsHidden());
    EXPECT_TRUE(stereo->IsHidden());
    EXPECT_EQ(surface().ControlAt(258, 240), indexOf(kMonoPosition));
    session->Process({{kStereo, 3.0 / 7.0}}, std::vector<float>(64, 0.0f));
    EXPECT_TRUE(mono->IsHidden());
    EXPECT_FALSE(stereo->IsHidden());
}

TEST_F(EditorTest, TheSpaceListOpensAcrossTheEditorAndPicksByColumn) {
    auto* space = as<IDropDown>(indexOf(kSpace));
    int x, y;
    centreOf(indexOf(kSpace), &x, &y);
    session->Click(x, y);
    ASSERT_TRUE(space->List());
    EXPECT_EQ(space->List()->Rect(), (PixelRect{0, 117, 514, 388}));
    EXPECT_FALSE(space->List()->IsHidden());

    clearEdits();
    session->Click(3 * 514 / 4 + 10, 117 + 5); // fourth column, first row
    session->Ticks(1);
    EXPECT_DOUBLE_EQ(plug().GetParam(kSpace)->Value(), 45.0);
    EXPECT_STREQ(plug().GetParam(kSpace)->DisplayTextFor(45), "Special Fireworks");
    EXPECT_TRUE(space->List()->IsHidden());
    EXPECT_EQ(gestures(), "b3 p3 e3");

    // A host change is shown, not echoed back to the host as an edit.
    clearEdits();
    session->Process({{kSpace, 10.0 / 59.0}}, std::vector<float>(64, 0.0f));
    session->Ticks(2);
    EXPECT_EQ(gestures(), "");
    EXPECT_DOUBLE_EQ(plug().GetParam(kSpace)->Value(), 10.0);
}

TEST_F(EditorTest, TheFilterListsShareImagesAndOpenCentredAndLeftAligned) {
    auto* first = as<IDropDown>(indexOf(kEqType));
    auto* second = as<IDropDown>(indexOf(kEq2Type));
    EXPECT_EQ(first->ListRect(), (PixelRect{93, 292, 93 + 74, 292 + 73}));
    EXPECT_EQ(second->ListRect(), (PixelRect{348, 292, 348 + 74, 292 + 73}));
    session->Click(120, 284);
    session->Click(380, 284);
    ASSERT_TRUE(first->List() && second->List());
    EXPECT_EQ(first->List()->Rect().left, 93);
    EXPECT_EQ(second->List()->Rect().left, 348);
}

TEST_F(EditorTest, KnobValueTextsSitInTheirBands) {
    EXPECT_EQ(as<IKnobRotVal>(indexOf(kPreDelay))->LabelRect(), (PixelRect{35, 104, 81, 120}));
    EXPECT_EQ(as<IKnobRotVal>(indexOf(kTime))->LabelRect(), (PixelRect{30, 192, 86, 208}));
}

TEST_F(EditorTest, AKnobDragChangesTheParameterTheSoundAndTellsTheHost) {
    std::vector<float> impulse(256, 0.0f);
    impulse[0] = 1.0f;
    const std::vector<float> before = session->Process({}, impulse);

    std::unique_ptr<EditorSession> dragged = EditorSession::Create(nullptr);
    ASSERT_TRUE(dragged);
    int x, y;
    centreOf(indexOf(kDryMix), &x, &y);
    dragged->Drag(x, y, x, y + 300); // down past the minimum
    EXPECT_DOUBLE_EQ(dragged->Plug().GetParam(kDryMix)->Value(), 0.0);
    const std::vector<float> after = dragged->Process({}, impulse);
    EXPECT_NE(after[0], before[0]) << "no dry signal any more";

    std::string heard;
    for (const auto& e : dragged->Handler().edits())
        heard += e.kind == halvane::host::EditEvent::Kind::Begin
                     ? 'b'
                     : (e.kind == halvane::host::EditEvent::Kind::End ? 'e' : 'p');
    ASSERT_GE(heard.size(), 3u);
    EXPECT_EQ(heard.front(), 'b');
    EXPECT_EQ(heard.back(), 'e');
    EXPECT_EQ(heard.find_first_not_of('p', 1), heard.size() - 1);
}

TEST_F(EditorTest, HostAutomationMovesTheKnobOnTheNextTick) {
    const PixelRect knob = control(indexOf(kTime))->Rect();
    session->RenderAll();
    const std::vector<LICE_pixel> before = Pixels(surface(), knob);
    session->Process({{kTime, 0.9}}, std::vector<float>(64, 0.0f));
    EXPECT_DOUBLE_EQ(control(indexOf(kTime))->Value(), 0.9);
    EXPECT_EQ(Pixels(surface(), knob), before) << "nothing is drawn from the audio thread";
    session->Ticks(1);
    EXPECT_NE(Pixels(surface(), knob), before);
    EXPECT_EQ(gestures(), "");
}
