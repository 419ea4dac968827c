#include "EditorTestSupport.h"

#include <cstdlib>

#include "EditorStates.h"
#include "LICE_SysBitmap.h"

namespace {

const EditorState* Find(const char* name) {
    for (const EditorState& state : kEditorStates)
        if (std::string(state.name) == name)
            return &state;
    return nullptr;
}

} // namespace

// The editor as this platform draws it matches the committed pictures (`make editor-references`
// rewrites them when the artwork or the drawing changes on purpose).
TEST_F(EditorTest, TheEditorLooksAsItsReferencePicturesShow) {
    constexpr int kTolerance = 3; // per channel
    for (const char* name : {"defaults", "hover-time", "stereo-position-popup"}) {
        std::unique_ptr<EditorSession> fresh = EditorSession::Create(nullptr);
        ASSERT_TRUE(fresh);
        const EditorState* state = Find(name);
        ASSERT_TRUE(state) << name;
        ShowEditorState(*fresh, *state);
        const std::string path = std::string(HALVANE_EDITOR_REFERENCES) + "/" + name + ".png";
        std::unique_ptr<LICE_MemBitmap> reference = ReadPng(path);
        ASSERT_TRUE(reference) << path;
        const LICE_IBitmap& drawn = *fresh->Surface().DrawBitmap();
        ASSERT_EQ(reference->Width(), drawn.Width());
        ASSERT_EQ(reference->Height(), drawn.Height());
        int off = 0, firstX = -1, firstY = -1;
        for (int y = 0; y < drawn.Height(); ++y) {
            for (int x = 0; x < drawn.Width(); ++x) {
                const LICE_pixel a = *drawn.PixelAt(x, y), b = *reference->PixelAt(x, y);
                const bool matches = std::abs(LICE_GETR(a) - LICE_GETR(b)) <= kTolerance &&
                                     std::abs(LICE_GETG(a) - LICE_GETG(b)) <= kTolerance &&
                                     std::abs(LICE_GETB(a) - LICE_GETB(b)) <= kTolerance;
                if (!matches && off++ == 0)
                    firstX = x, firstY = y;
            }
        }
        EXPECT_EQ(off, 0) << name << ": first difference at " << firstX << ", " << firstY;
    }
}
