#include "EditorTestSupport.h"

#include "PromptPopup.h"

using namespace EditorLayout;

namespace {

PromptPopup* Popup(IGraphics& surface, int items) {
    auto* popup = new PromptPopup(surface.Plugin(), 10, 10, 70, 1, surface.GetPopupStyle());
    for (int i = 0; i < items; ++i)
        popup->AddItem(i % 2 ? "an item" : "another item");
    surface.AddControl(popup);
    return popup;
}

} // namespace

TEST_F(EditorTest, PopupsGrowToNineRowsAndThenScroll) {
    PromptPopup* four = Popup(surface(), 4);
    EXPECT_EQ(four->Rect().H(), 4 * 21);
    EXPECT_FALSE(four->HasScrollbar());

    PromptPopup* sixteen = Popup(surface(), 16);
    EXPECT_EQ(sixteen->Rows(), 6);
    EXPECT_EQ(sixteen->ThumbLength(), 73);

    // The seven Stereo Position texts: five rows, a 95-pixel thumb, 113 pixels wide.
    session->Click(258, 240, EditorSession::Right());
    PromptPopup* stereo = surface().OpenPopup();
    ASSERT_TRUE(stereo);
    EXPECT_EQ(stereo->Rect().H(), 105);
    EXPECT_EQ(stereo->ThumbLength(), 95);
    EXPECT_EQ(stereo->Rect().W(), 113);
}

TEST_F(EditorTest, ALongPopupOpensWithTheCurrentItemInItsMiddleRow) {
    int x, y;
    centreOf(indexOf(kSpace), &x, &y);
    IControl* owner = control(indexOf(kSpace));
    plug().GetParam(kSpace)->SetValue(30);
    PromptPopup* popup = Popup(surface(), 60);
    popup->BindTo(kSpace, owner);
    EXPECT_EQ(popup->Rows(), 9);
    EXPECT_EQ(popup->ThumbLength(), 31);
    EXPECT_EQ(popup->FirstVisible(), 26) << "rows 26 to 34";

    plug().GetParam(kSpace)->SetValue(2);
    PromptPopup* early = Popup(surface(), 60);
    early->BindTo(kSpace, owner);
    EXPECT_EQ(early->FirstVisible(), 0);
}

TEST_F(EditorTest, ThePopupScrollbarStopsAtItsEndsAndTheWheelMovesThreePixels) {
    PromptPopup* popup = Popup(surface(), 60);
    popup->BindTo(kSpace, control(indexOf(kSpace)));
    const PixelRect thumb = popup->ThumbRect();
    const int tx = (thumb.left + thumb.right) / 2, ty = (thumb.top + thumb.bottom) / 2;
    surface().RoutePointerDown(tx, ty, EditorSession::Left());
    surface().RoutePointerDrag(tx, ty + 500, EditorSession::Left());
    surface().RoutePointerUp(tx, ty + 500, EditorSession::Left());
    EXPECT_EQ(popup->ScrollOffset(), popup->Rect().H() - popup->ThumbLength() - 2);

    surface().RouteWheel(tx, ty, MouseMods{}, 1);
    EXPECT_EQ(popup->ScrollOffset(), popup->MaxScroll() - 3);
    surface().RouteWheel(tx, ty, MouseMods{}, 1000);
    EXPECT_EQ(popup->ScrollOffset(), 0);
}

TEST_F(EditorTest, AChoiceReachesTheHostAsOneGestureAndClosesThePopup) {
    session->Click(258, 240, EditorSession::Right());
    PromptPopup* popup = surface().OpenPopup();
    ASSERT_TRUE(popup);
    const int count = surface().ControlCount();
    clearEdits();
    // The middle row shows the current item (2 of 0..6); the row below it is item 3, "Middle".
    const PixelRect cell = popup->CellRect(3 - popup->FirstVisible());
    session->Click((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
    EXPECT_EQ(gestures(), "b7 p7 e7");
    EXPECT_DOUBLE_EQ(plug().GetParam(kStereoPosition)->Value(), 3.0);
    EXPECT_EQ(surface().OpenPopup(), nullptr);
    EXPECT_EQ(surface().ControlCount(), count - 1);
}
