// The editor's images as module resources: each one decodes with its size and frames, fits the layout it
// is drawn into, and is part of the built module; missing and damaged resources give no bitmap. The test
// program carries the images and some damaged files as resources of its own.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "BitmapTestSupport.h"
#include "EditorLayout.h"
#include "LICE_PNG.h"
#include "LICE_PNGBitmap.h"
#include "ModuleResources.h"

namespace {

using namespace EditorLayout;

std::unique_ptr<LICE_MemBitmap> Decode(int id) {
    return std::unique_ptr<LICE_MemBitmap>(LICE_LoadPNGResource(nullptr, id));
}

std::vector<unsigned char> ResourceBytes(int id) {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    if (!FindModuleResource(nullptr, "PNG", id, &data, &size))
        return {};
    return std::vector<unsigned char>(data, data + size);
}

// The image's size, and frames of equal size along its frame direction (open-list pictures excepted:
// their frames are the cells of a grid).
void ExpectSizeAndFrames(const LICE_MemBitmap* bitmap, const ImageResource& image) {
    ASSERT_TRUE(bitmap) << image.id;
    EXPECT_EQ(bitmap->Width(), image.width) << image.id;
    EXPECT_EQ(bitmap->Height(), image.height) << image.id;
    bool isList = false;
    for (const Control& c : kControls)
        isList = isList || c.listImage == image.id;
    const int along = image.sideBySide ? bitmap->Width() : bitmap->Height();
    if (!isList) {
        EXPECT_EQ(along % image.frames, 0) << image.id << ": frames of equal size";
    }
}

TEST(Resources, EveryImageDecodesWithItsSizeAndFrames) {
    for (const ImageResource& image : kImages)
        ExpectSizeAndFrames(Decode(image.id).get(), image);
    EXPECT_EQ(FindImage(kImgSwitch)->width / FindImage(kImgSwitch)->frames, 52);
}

TEST(Resources, ImagesFitTheControlsThatDrawThem) {
    for (const Control& c : kControls) {
        EXPECT_GE(c.left, 0);
        EXPECT_GE(c.top, 0);
        EXPECT_LE(c.right, kWidth);
        EXPECT_LE(c.bottom, kHeight);
        if (!c.image)
            continue;
        const ImageResource* image = FindImage(c.image);
        ASSERT_NE(image, nullptr);
        if (c.kind == ControlKind::Knob) {
            // The knob's box is the pointer half, centred on the knob.
            const int half = image->height / 2;
            EXPECT_EQ(image->width, 2 * image->height);
            EXPECT_EQ(c.left, c.x - half);
            EXPECT_EQ(c.right, c.x + half);
            EXPECT_EQ(c.top, c.y - half);
            EXPECT_EQ(c.bottom, c.y + half);
        } else if (c.kind == ControlKind::DropDown) {
            // One 16-pixel frame per choice; the control reaches a pixel beyond it above and below.
            EXPECT_EQ(image->height / image->frames, 16);
            EXPECT_EQ(c.right - c.left, image->width);
            EXPECT_EQ(c.top, c.y - 1);
            EXPECT_EQ(c.bottom, c.y + 17);
            const ImageResource* list = FindImage(c.listImage);
            ASSERT_NE(list, nullptr);
            EXPECT_EQ(list->frames, image->frames);
            const int rows = (image->frames + c.columns - 1) / c.columns;
            EXPECT_GE(list->height / rows, 16) << "rows of the open list stay readable";
        } else if (c.kind == ControlKind::Switch) {
            EXPECT_EQ(c.right - c.left, image->width / image->frames);
            EXPECT_EQ(c.bottom - c.top, image->height);
        }
    }
}

TEST(Resources, ArtworkHasTheLayersTheControlsNeed) {
    auto background = Decode(kImgBackground);
    ASSERT_TRUE(background);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            ASSERT_EQ(LICE_GETA(*background->PixelAt(x, y)), 255) << x << "," << y;

    // Each knob's pointer half leaves its centre clear for the value text and marks its top.
    for (int id : {kImgKnob, kImgKnobFilter, kImgKnobLarge}) {
        auto knob = Decode(id);
        ASSERT_TRUE(knob);
        const int size = knob->Height();
        const int c = size / 2;
        for (int y = c - 8; y < c + 8; ++y)
            for (int x = c - 8; x < c + 8; ++x)
                EXPECT_EQ(LICE_GETA(*knob->PixelAt(x, y)), 0) << id;
        EXPECT_EQ(LICE_GETA(*knob->PixelAt(c, 3)), 255) << id;
        EXPECT_GT(LICE_GETA(*knob->PixelAt(size + c, c)), 0) << id << ": the hover ring half";
    }

    // Every frame of a choice strip carries its own lettering.
    for (int id : {kImgSpace, kImgSurface, kImgStereo, kImgFilterType}) {
        auto strip = Decode(id);
        ASSERT_TRUE(strip);
        const ImageResource* image = FindImage(id);
        std::vector<std::vector<LICE_pixel>> frames;
        for (int f = 0; f < image->frames; ++f) {
            std::vector<LICE_pixel> pixels;
            for (int y = f * 16; y < (f + 1) * 16; ++y)
                for (int x = 0; x < strip->Width(); ++x)
                    pixels.push_back(*strip->PixelAt(x, y));
            for (const auto& earlier : frames)
                EXPECT_NE(pixels, earlier) << id << " frame " << f;
            frames.push_back(pixels);
        }
    }
}

TEST(Resources, MissingAndDamagedResourcesGiveNoBitmap) {
    EXPECT_FALSE(Decode(99));
    EXPECT_FALSE(Decode(114));
    EXPECT_FALSE(Decode(-2));
    const unsigned char* data = reinterpret_cast<const unsigned char*>(1);
    std::size_t size = 5;
    EXPECT_FALSE(FindModuleResource(nullptr, "ICON", kImgBackground, &data, &size));
    EXPECT_EQ(data, nullptr);
    EXPECT_EQ(size, 0u);
    EXPECT_FALSE(FindModuleResource(nullptr, nullptr, kImgBackground, &data, &size));
    EXPECT_FALSE(FindModuleResource(nullptr, "PNG", kImgBackground, nullptr, &size));
    // The test binary's table also holds damaged files: shorter than a signature, cut in half,
    // garbage after the signature, a flipped byte in the image data.
    for (int id : {900, 901, 902, 903}) {
        ASSERT_FALSE(ResourceBytes(id).empty()) << id;
        EXPECT_FALSE(Decode(id)) << id;
    }
}

// The editor's images are decoded when first drawn: the same pixels as decoding at once, and a damaged
// file that still has a readable header ends with no pixels to draw.
TEST(Resources, DeferredImagesDecodeToTheSamePixels) {
    for (const ImageResource& image : kImages) {
        std::unique_ptr<LICE_PNGBitmap> deferred(LICE_PNGBitmap::FromResource(nullptr, image.id));
        auto decoded = Decode(image.id);
        ASSERT_TRUE(deferred && decoded) << image.id;
        ASSERT_EQ(deferred->Width(), decoded->Width());
        ASSERT_EQ(deferred->Height(), decoded->Height());
        ASSERT_TRUE(deferred->Bits());
        EXPECT_EQ(
            std::memcmp(deferred->Bits(), decoded->Bits(),
                        sizeof(LICE_pixel) * static_cast<std::size_t>(decoded->Width() * decoded->Height())),
            0)
            << image.id;
    }
    EXPECT_FALSE(LICE_PNGBitmap::FromResource(nullptr, 99));
    int readable = 0;
    for (int id : {900, 901, 902, 903}) {
        std::unique_ptr<LICE_PNGBitmap> deferred(LICE_PNGBitmap::FromResource(nullptr, id));
        if (deferred) {
            ++readable;
            EXPECT_GT(deferred->Width(), 0) << id;
            EXPECT_EQ(deferred->Bits(), nullptr) << id;
            EXPECT_EQ(deferred->PixelAt(0, 0), nullptr) << id;
        }
    }
    EXPECT_GE(readable, 1) << "a damaged file with a sound header";
}

TEST(Resources, EveryCutOrFlippedByteIsHandled) {
    const std::vector<unsigned char> png = ResourceBytes(kImgSlider);
    ASSERT_GT(png.size(), 8u);
    EXPECT_FALSE(LICE_LoadPNGFromMemory(nullptr, 100));
    EXPECT_FALSE(LICE_LoadPNGFromMemory(png.data(), 7));
    for (std::size_t cut = 0; cut < png.size(); ++cut) {
        // A copy of exactly `cut` bytes, so reading past it would be caught by a checker.
        std::vector<unsigned char> part(png.begin(), png.begin() + static_cast<long>(cut));
        std::unique_ptr<LICE_MemBitmap> b(LICE_LoadPNGFromMemory(part.data(), part.size()));
        if (b) { // only the trailing end marker may be missing from an image that decodes
            EXPECT_GE(cut, png.size() - 12) << cut;
            EXPECT_EQ(b->Width(), 14);
        }
    }
    for (std::size_t i = 8; i < png.size(); ++i) {
        std::vector<unsigned char> damaged = png;
        damaged[i] ^= 0xA5;
        std::unique_ptr<LICE_MemBitmap> b(LICE_LoadPNGFromMemory(damaged.data(), damaged.size()));
        if (b) {
            EXPECT_LE(static_cast<long>(b->Width()) * b->Height(), 1L << 28);
        }
    }
}

#ifdef _WIN32
// The built module loaded as a host loads it: every image decodes from its own resources through its
// handle, and the test program's damaged files are not among them.
TEST(Resources, EveryImageDecodesFromTheBuiltModule) {
    // Build paths are Unix paths; Wine maps them through its Z: drive.
    std::wstring path = L"Z:";
    for (const char c : std::string(HALVANE_MODULE_BINARY))
        path.push_back(c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c)));
    HMODULE module = LoadLibraryW(path.c_str());
    ASSERT_NE(module, nullptr) << "LoadLibrary failed with " << GetLastError();
    for (const ImageResource& image : kImages) {
        std::unique_ptr<LICE_MemBitmap> bitmap(LICE_LoadPNGResource(module, image.id));
        ExpectSizeAndFrames(bitmap.get(), image);
    }
    for (int id : {99, 114, 900, 903})
        EXPECT_EQ(LICE_LoadPNGResource(module, id), nullptr) << id;
    EXPECT_TRUE(FreeLibrary(module));
}
#else
TEST(Resources, TheModuleCarriesEveryImage) {
    std::ifstream file(HALVANE_MODULE_BINARY, std::ios::binary);
    ASSERT_TRUE(file) << HALVANE_MODULE_BINARY;
    const std::vector<unsigned char> module((std::istreambuf_iterator<char>(file)),
                                            std::istreambuf_iterator<char>());
    for (const ImageResource& image : kImages) {
        const std::vector<unsigned char> bytes = ResourceBytes(image.id);
        ASSERT_FALSE(bytes.empty());
        EXPECT_NE(std::search(module.begin(), module.end(), bytes.begin(), bytes.end()), module.end())
            << "image " << image.id << " is not in the module";
    }
}
#endif

} // namespace
