#include "EditorTestSupport.h"

#include "HostlessPlug.h"

#include "pluginterfaces/gui/iplugview.h"

using namespace Steinberg;
using Steinberg::Vst::IEditController;

namespace {

// A host frame that records the sizes the plug-in asks for.
class RecordingFrame : public IPlugFrame {
  public:
    tresult PLUGIN_API resizeView(IPlugView* view, ViewRect* newSize) override {
        views.push_back(view);
        sizes.push_back(*newSize);
        return kResultOk;
    }
    tresult PLUGIN_API queryInterface(const TUID, void** obj) override {
        *obj = nullptr;
        return kNoInterface;
    }
    uint32 PLUGIN_API addRef() override { return 1; }
    uint32 PLUGIN_API release() override { return 1; }

    std::vector<IPlugView*> views;
    std::vector<ViewRect> sizes;
};

IPtr<IPlugView> CreateView(IEditController* controller, const char* name) {
    return owned(controller->createView(name));
}

} // namespace

using EditorViewTest = EditorTest;

// The view on a platform whose surface has no window: it answers every call, opens nothing, relays sizes.
TEST_F(EditorViewTest, AnswersEveryCallAndRelaysResizeRequestsToTheFirstView) {
    IEditController* controller = session->Instance().controller();
    EXPECT_FALSE(CreateView(controller, "Editor")) << "the name is exact";
    EXPECT_FALSE(CreateView(controller, nullptr));
    IPtr<IPlugView> view = CreateView(controller, "editor");
    ASSERT_TRUE(view);

    ViewRect size;
    ASSERT_EQ(view->getSize(&size), kResultOk);
    EXPECT_EQ(size.right - size.left, 514);
    EXPECT_EQ(size.bottom - size.top, 420);
    EXPECT_EQ(view->getSize(nullptr), kInvalidArgument);
    EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeHWND), kResultFalse);
    EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID), kResultFalse);
    EXPECT_EQ(view->removed(), kResultOk) << "removed before attached";
    EXPECT_EQ(view->attached(nullptr, kPlatformTypeX11EmbedWindowID), kResultOk) << "no window, no failure";
    EXPECT_FALSE(surface().IsWindowOpen());
    EXPECT_EQ(view->onSize(nullptr), kResultOk);

    RecordingFrame frame, secondFrame;
    IPtr<IPlugView> second = CreateView(controller, "editor");
    ASSERT_EQ(view->setFrame(&frame), kResultOk);
    ASSERT_EQ(second->setFrame(&secondFrame), kResultOk);
    plug().ResizeEditor(600, 500);
    ASSERT_EQ(frame.sizes.size(), 1u);
    EXPECT_EQ(frame.views[0], view.get());
    EXPECT_EQ(frame.sizes[0].right, 600);
    EXPECT_EQ(frame.sizes[0].bottom, 500);
    EXPECT_TRUE(secondFrame.sizes.empty()) << "only the first open view is asked";

    // Once the first view goes, the next one is asked.
    EXPECT_EQ(view->removed(), kResultOk);
    view = nullptr;
    plug().ResizeEditor(514, 420);
    EXPECT_EQ(secondFrame.sizes.size(), 1u);
    second = nullptr;
    plug().ResizeEditor(514, 420); // no view left: nothing to ask
    EXPECT_EQ(frame.sizes.size(), 1u);
}

namespace {

// A plug-in that counts the host's confirmations of the sizes it asked for.
class ResizingPlug : public IPlugVST3 {
  public:
    ResizingPlug() : IPlugVST3(1, "2-2", 1, "resizing", "", "", 0, 0, 0, 0, false, false, false, 0) {
        AttachEditor(new RecordingEditor());
    }
    void EditorResized(int, int, int, int) override { ++resized; }
    int resized = 0;
};

} // namespace

TEST(EditorView, OnlyTheHostsAnswerToAResizeRequestReachesThePlugin) {
    auto* plug = new ResizingPlug();
    {
        IPtr<IPlugView> view = owned(plug->createView("editor"));
        ASSERT_TRUE(view);
        RecordingFrame frame;
        view->setFrame(&frame);
        ViewRect rect(0, 0, 600, 500);
        view->onSize(&rect);
        EXPECT_EQ(plug->resized, 0) << "a size the plug-in did not ask for";
        plug->ResizeEditor(600, 500);
        view->onSize(&rect);
        view->onSize(&rect);
        EXPECT_EQ(plug->resized, 1);
    }
    plug->release(); // the view held the plug-in until it went
}

TEST(EditorView, TimerPeriodIsAThousandOverTheFrameRateTruncated) {
    EXPECT_EQ(IGraphicsHeadless(nullptr, 10, 10, 24, nullptr).TimerPeriodMs(), 41);
    EXPECT_EQ(IGraphicsHeadless(nullptr, 10, 10, 30, nullptr).TimerPeriodMs(), 33);
    EXPECT_EQ(IGraphicsHeadless(nullptr, 10, 10, 0, nullptr).TimerPeriodMs(), 41) << "0 means 24";
}
