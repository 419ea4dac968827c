#include "IGraphics.h"

#include <cstring>
#include <utility>

#include "LICE_Blit.h"
#include "LICE_MemBitmap.h"
#include "LICE_PNGBitmap.h"

namespace {

// The module-wide image cache shared by every surface: bitmaps by resource id (negative for split parts).
// Entries stay until the module unloads.
struct ImageCache {
    RecursiveLock lock;
    std::vector<std::pair<int, std::unique_ptr<LICE_IBitmap>>> entries;

    LICE_IBitmap* Find(int id) {
        for (auto& entry : entries)
            if (entry.first == id)
                return entry.second.get();
        return nullptr;
    }
};

ImageCache& Images() {
    static ImageCache cache;
    return cache;
}

bool SamePixels(const LICE_IBitmap& a, const LICE_IBitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height())
        return false;
    for (int y = 0; y < a.Height(); ++y)
        if (std::memcmp(a.PixelAt(0, y), b.PixelAt(0, y),
                        sizeof(LICE_pixel) * static_cast<size_t>(a.Width())))
            return false;
    return true;
}

} // namespace

// ---- images ----

void IGraphics::LoadStrip(ImageStrip* strip, int id, const char* name, int frames) {
    if (!strip)
        return;
    ImageCache& cache = Images();
    LICE_IBitmap* bitmap = nullptr;
    {
        LockGuard guard(cache.lock);
        bitmap = cache.Find(id);
        if (!bitmap) {
            if (LICE_IBitmap* loaded = LoadImageResource(id, name)) {
                cache.entries.emplace_back(id, std::unique_ptr<LICE_IBitmap>(loaded));
                bitmap = loaded;
            }
        }
    }
    *strip = ImageStrip{};
    strip->bitmap = bitmap;
    strip->width = bitmap ? bitmap->Width() : 0;
    strip->height = bitmap ? bitmap->Height() : 0;
    strip->frames = frames > 0 ? frames : 1;
}

void IGraphics::SplitStrip(ImageStrip* left, ImageStrip* strip, double fraction) {
    if (!left || !strip)
        return;
    if (!(fraction >= 0.0))
        fraction = 0.0;
    if (fraction > 1.0)
        fraction = 1.0;
    const int width = strip->bitmap ? strip->bitmap->Width() : 0;
    const int height = strip->bitmap ? strip->bitmap->Height() : 0;
    const int cut = static_cast<int>(width * fraction);
    const int rest = static_cast<int>((1.0 - fraction) * width);

    auto leftPart = std::make_unique<LICE_MemBitmap>(cut, height);
    LICE_Blit(leftPart.get(), strip->bitmap, 0, 0, 0, 0, cut, height, 1.0f, LICE_BLIT_MODE_COPY);
    auto rightPart = std::make_unique<LICE_MemBitmap>(rest, height);
    LICE_Blit(rightPart.get(), strip->bitmap, 0, 0, cut, 0, rest, height, 1.0f, LICE_BLIT_MODE_COPY);

    const int id = --nextImageId_;
    LICE_IBitmap* cached = nullptr;
    {
        ImageCache& cache = Images();
        LockGuard guard(cache.lock);
        // Every editor of the module splits the same images in the same order: the part a surface made
        // before is reused, so the cache does not grow with each new instance.
        LICE_IBitmap* existing = cache.Find(id);
        if (existing && SamePixels(*existing, *leftPart)) {
            cached = existing;
        } else {
            cached = leftPart.get();
            cache.entries.emplace_back(id, std::move(leftPart));
        }
    }
    *left = ImageStrip{cached, cached->Width(), cached->Height(), 1, 0};
    *strip = ImageStrip{rightPart.get(), rest, height, 1, id};
    ownedParts_.push_back(std::move(rightPart));
}

void IGraphics::CachedStrip(ImageStrip* strip, int id) {
    if (!strip)
        return;
    ImageCache& cache = Images();
    LockGuard guard(cache.lock);
    LICE_IBitmap* bitmap = cache.Find(id);
    *strip = ImageStrip{bitmap, bitmap ? bitmap->Width() : 0, bitmap ? bitmap->Height() : 0, 1, 0};
}

LICE_IBitmap* IGraphics::LoadImageResource(int id, const char* name) {
    (void)name;
    return LICE_PNGBitmap::FromResource(module_, id);
}
