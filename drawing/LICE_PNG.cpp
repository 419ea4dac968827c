#include "LICE_PNG.h"

#include <png.h>

#include <cstdint>
#include <cstring>
#include <memory>

#include "ModuleResources.h"

namespace {

// Reads the header into `image`: false, with nothing left to free, when the data is no PNG or its size
// is empty or beyond the layer's limits.
bool BeginRead(png_image& image, const void* data, std::size_t size) {
    if (!data || size < 8 || png_sig_cmp(static_cast<png_const_bytep>(data), 0, 8) != 0)
        return false;
    // libpng's simplified reader keeps its own error recovery: a damaged stream ends in a 0 result.
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data, size)) {
        png_image_free(&image);
        return false;
    }
    // Blue, green, red, alpha bytes: the layer's pixel layout, straight (not premultiplied) alpha.
    image.format = PNG_FORMAT_BGRA;
    if (image.width == 0 || image.height == 0 || image.width > static_cast<png_uint_32>(kLiceMaxSide) ||
        image.height > static_cast<png_uint_32>(kLiceMaxSide) ||
        static_cast<std::int64_t>(image.width) * image.height > kLiceMaxPixels) {
        png_image_free(&image);
        return false;
    }
    return true;
}

} // namespace

bool LICE_ReadPNGSize(const void* data, std::size_t size, int* width, int* height) {
    png_image image;
    if (!width || !height || !BeginRead(image, data, size))
        return false;
    *width = static_cast<int>(image.width);
    *height = static_cast<int>(image.height);
    png_image_free(&image);
    return true;
}

bool LICE_DecodePNG(const void* data, std::size_t size, LICE_IBitmap* bitmap) {
    png_image image;
    if (!bitmap || !BeginRead(image, data, size))
        return false;
    if (!bitmap->Bits() || bitmap->Width() != static_cast<int>(image.width) ||
        bitmap->Height() != static_cast<int>(image.height)) {
        png_image_free(&image);
        return false;
    }
    const png_int_32 rowBytes = static_cast<png_int_32>(bitmap->RowSpan() * 4);
    const bool ok = png_image_finish_read(&image, nullptr, bitmap->Bits(), rowBytes, nullptr) != 0;
    png_image_free(&image);
    return ok;
}

LICE_MemBitmap* LICE_LoadPNGFromMemory(const void* data, std::size_t size) {
    int width = 0;
    int height = 0;
    if (!LICE_ReadPNGSize(data, size, &width, &height))
        return nullptr;
    std::unique_ptr<LICE_MemBitmap> bitmap(new LICE_MemBitmap(width, height));
    if (!LICE_DecodePNG(data, size, bitmap.get()))
        return nullptr;
    return bitmap.release();
}

LICE_MemBitmap* LICE_LoadPNGResource(void* module, int id) {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    if (!FindModuleResource(module, "PNG", id, &data, &size))
        return nullptr;
    return LICE_LoadPNGFromMemory(data, size);
}

bool LICE_WritePNG(const char* path, const LICE_IBitmap* bitmap) {
    if (!path || !bitmap || !bitmap->Bits() || bitmap->Width() <= 0 || bitmap->Height() <= 0)
        return false;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(bitmap->Width());
    image.height = static_cast<png_uint_32>(bitmap->Height());
    image.format = PNG_FORMAT_BGRA;
    const int ok = png_image_write_to_file(&image, path, 0, bitmap->Bits(),
                                           static_cast<png_int_32>(bitmap->RowSpan() * 4), nullptr);
    png_image_free(&image);
    return ok != 0;
}
