#include "EditorTestSupport.h"

#include <cmath>

#include "IBypass.h"
#include "IDropDown.h"
#include "IDropDownChild.h"
#include "IKnobRotVal.h"
#include "ISliderImg.h"

using namespace EditorLayout;

TEST_F(EditorTest, KnobsTurnHalfTheirSweepEitherWay) {
    constexpr double kDegree = 3.14159265358979323846 / 180.0;
    EXPECT_NEAR(IKnobRotVal::AngleFor(300, 0.0), -150 * kDegree, 1e-6);
    EXPECT_NEAR(IKnobRotVal::AngleFor(300, 1.0), 150 * kDegree, 1e-6);
    EXPECT_NEAR(IKnobRotVal::AngleFor(300, 0.5), 0.0, 1e-6);
}

TEST_F(EditorTest, AKnobWithStepsSnapsOnRelease) {
    int x, y;
    centreOf(indexOf(kPreDelay), &x, &y);
    auto* stepped = new IKnobRotVal(&plug(), kDiffuse, x, y, ImageStrip{nullptr, 46, 46, 1, 0}, TextStyle(),
                                    -17, 300, 4.0, 0, 0, -0.15f, false, 5);
    surface().AddControl(stepped);
    for (int drag : {7, 23, 61, 100}) {
        session->Drag(x, y, x, y - drag);
        const double quarters = stepped->Value() * 4.0;
        EXPECT_DOUBLE_EQ(quarters, std::floor(quarters)) << drag;
    }
    EXPECT_GT(stepped->Value(), 0.0);
}

TEST_F(EditorTest, SlidersMoveOnlyFromTheirHandleAreaAndDrawWhereTheParameterIs) {
    const int index = indexOf(kStereoPosition);
    auto* slider = as<ISliderImg>(index);
    ASSERT_TRUE(slider);
    EXPECT_EQ(slider->HandleArea(), (PixelRect{194, 231, 322, 244}));
    const double before = slider->Value();
    session->Click(258, 260); // in the value band, below the track
    EXPECT_EQ(slider->Value(), before);
    EXPECT_EQ(gestures(), "b7 e7");
    session->Click(258, 235);
    EXPECT_DOUBLE_EQ(slider->Value(), (258 - 194 - 7) / 114.0) << "the handle's centre jumps to the pointer";

    // The handle follows the parameter itself, before the control hears of it.
    plug().GetParam(kStereoPosition)->SetValue(6.0);
    EXPECT_EQ(slider->HandleRect().left, 194 + 114);
    EXPECT_NE(slider->Value(), 1.0);
}

TEST_F(EditorTest, DropDownListsMapClicksColumnByColumn) {
    IDropDown owner(&plug(), -1, 0, 0, ImageStrip{}, ImageStrip{}, 2, 0);
    IDropDownChild list(&plug(), &owner, 10, 20, ImageStrip{nullptr, 100, 80, 8, 0}, 2);
    EXPECT_DOUBLE_EQ(list.ValueAt(10 + 75, 20 + 2 * 20 + 5), 6.0 / 7.0) << "third row, second column";
    EXPECT_DOUBLE_EQ(list.ValueAt(10, 20), 0.0);
    EXPECT_DOUBLE_EQ(list.ValueAt(10 + 99, 20 + 79), 1.0);
    IDropDownChild single(&plug(), &owner, 0, 0, ImageStrip{nullptr, 50, 16, 1, 0}, 1);
    EXPECT_EQ(single.ValueAt(25, 8), 0.0) << "one choice is value 0, not a division by zero";
}

TEST_F(EditorTest, RightClickOnASelectorOpensNoValueBox) {
    int x, y;
    centreOf(indexOf(kSpace), &x, &y);
    session->Click(x, y, EditorSession::Right());
    EXPECT_EQ(surface().OpenPopup(), nullptr);
    EXPECT_EQ(surface().LastValuePrompt(), nullptr);
    EXPECT_EQ(as<IDropDown>(indexOf(kSpace))->List(), nullptr);

    // The Mono Position slider's int parameter has no texts: its right click asks for a value box.
    session->Process({{kStereo, 0.0}}, std::vector<float>(64, 0.0f));
    session->Click(258, 240, EditorSession::Right());
    EXPECT_EQ(surface().LastValuePrompt(), control(indexOf(kMonoPosition)));
}

TEST_F(EditorTest, TheLampRedrawsOnlyWhenItsStateChanges) {
    auto* lamp = as<IBypass>(3);
    ASSERT_TRUE(lamp);
    session->RenderAll();
    lamp->SetOn(true);
    EXPECT_TRUE(lamp->NeedsRedraw());
    session->RenderAll();
    lamp->SetOn(true);
    EXPECT_FALSE(lamp->NeedsRedraw());
    lamp->SetOn(false);
    EXPECT_TRUE(lamp->NeedsRedraw());
}

TEST_F(EditorTest, TheLinkOpensTheMakersPageForTheEffect) {
    session->Click(250, 30);
    EXPECT_EQ(surface().LastWebPage(), std::string(HALVANE_MAKER_URL) + "/Halvane");
    EXPECT_EQ(gestures(), "") << "an unbound control never reaches the host";
}
