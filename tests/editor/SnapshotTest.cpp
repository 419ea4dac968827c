// The pictures in the bundle that hosts show before loading the plug-in: the editor at its defaults,
// as this build draws it, and the same picture with every pixel doubled.

#include "EditorTestSupport.h"

#include "EditorStates.h"
#include "LICE_SysBitmap.h"

TEST_F(EditorTest, SnapshotsShowTheEditorAtItsDefaults) {
    const std::string folder =
        std::string(HALVANE_BUNDLE) + "/Contents/Resources/Snapshots/F2AEE70D00DE4F4E56726B7372737778";
    std::unique_ptr<LICE_MemBitmap> single = ReadPng(folder + "_snapshot.png");
    std::unique_ptr<LICE_MemBitmap> doubled = ReadPng(folder + "_snapshot_2.0x.png");
    ASSERT_TRUE(single && doubled);
    ASSERT_EQ(single->Width(), 514);
    ASSERT_EQ(single->Height(), 420);
    ASSERT_EQ(doubled->Width(), 1028);
    ASSERT_EQ(doubled->Height(), 840);

    ShowEditorState(*session, kEditorStates[0]);
    const LICE_IBitmap& drawn = *surface().DrawBitmap();
    ASSERT_EQ(drawn.Width(), single->Width());
    ASSERT_EQ(drawn.Height(), single->Height());
    int offDrawn = 0, offDoubled = 0;
    for (int y = 0; y < doubled->Height(); ++y)
        for (int x = 0; x < doubled->Width(); ++x) {
            offDoubled += *doubled->PixelAt(x, y) != *single->PixelAt(x / 2, y / 2);
            if (x % 2 == 0 && y % 2 == 0)
                offDrawn +=
                    (*drawn.PixelAt(x / 2, y / 2) & 0xffffff) != (*single->PixelAt(x / 2, y / 2) & 0xffffff);
        }
    EXPECT_EQ(offDrawn, 0) << "pixels that differ from the editor's own drawing";
    EXPECT_EQ(offDoubled, 0) << "pixels of the 2x picture that are not their 1x pixel";
}
