#include "LICE_PNG.h"

#include <png.h>

#include <cstdint>
#include <cstring>
#include <memory>

#include "ModuleResources.h"

LICE_MemBitmap* LICE_LoadPNGFromMemory(const void* data, std::size_t size) {
    if (!data || size < 8 || png_sig_cmp(static_cast<png_const_bytep>(data), 0, 8) != 0)
        return nullptr;

    // libpng's simplified reader keeps its own error recovery: a damaged stream ends in a 0 result.
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data, size)) {
        png_image_free(&image);
        return nullptr;
    }
    // Blue, green, red, alpha bytes: the layer's pixel layout, straight (not premultiplied) alpha.
    image.format = PNG_FORMAT_BGRA;
    if (image.width == 0 || image.height == 0 || image.width > static_cast<png_uint_32>(kLiceMaxSide) ||
        image.height > static_cast<png_uint_32>(kLiceMaxSide) ||
        static_cast<std::int64_t>(image.width) * image.height > kLiceMaxPixels) {
        png_image_free(&image);
        return nullptr;
    }
    std::unique_ptr<LICE_MemBitmap> bitmap(
        new LICE_MemBitmap(static_cast<int>(image.width), static_cast<int>(image.height)));
    if (!bitmap->Bits()) {
        png_image_free(&image);
        return nullptr;
    }
    const png_int_32 rowBytes = static_cast<png_int_32>(bitmap->RowSpan() * 4);
    if (!png_image_finish_read(&image, nullptr, bitmap->Bits(), rowBytes, nullptr)) {
        png_image_free(&image);
        return nullptr;
    }
    png_image_free(&image);
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
