// The draw bitmap on Windows: a 32-bit top-down device-independent section in a memory device context of
// its own, so GDI can draw into the same pixels the layer draws into and BitBlt can copy them out.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "LICE_SysBitmap.h"

struct LICE_SysBitmap::Storage {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP section = nullptr;
    HGDIOBJ replaced = nullptr; // the context's own bitmap, put back before the section is deleted

    ~Storage() {
        FreeSection();
        if (dc)
            DeleteDC(dc);
    }
    void FreeSection() {
        if (!section)
            return;
        SelectObject(dc, replaced);
        DeleteObject(section);
        section = nullptr;
        replaced = nullptr;
    }
};

LICE_SysBitmap::LICE_SysBitmap(int width, int height) : storage_(std::make_unique<Storage>()) {
    Resize(width, height);
}

LICE_SysBitmap::~LICE_SysBitmap() = default;

bool LICE_SysBitmap::Resize(int width, int height) {
    storage_->FreeSection();
    bits_ = nullptr;
    width_ = height_ = 0;
    width = width < 0 ? 0 : width;
    height = height < 0 ? 0 : height;
    if (width > kLiceMaxSide || height > kLiceMaxSide ||
        static_cast<std::int64_t>(width) * height > kLiceMaxPixels)
        return false;
    if (width == 0 || height == 0)
        return true;
    if (!storage_->dc)
        return false;

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // negative: the top row comes first, as the layer's rows do
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    // The system clears a new section: all pixels start transparent black, as a memory bitmap's do.
    HBITMAP section = CreateDIBSection(storage_->dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!section || !bits) {
        if (section)
            DeleteObject(section);
        return false;
    }
    storage_->replaced = SelectObject(storage_->dc, section);
    storage_->section = section;
    bits_ = static_cast<LICE_pixel*>(bits);
    width_ = width;
    height_ = height;
    return true;
}

void* LICE_SysBitmap::DeviceContext() const {
    return storage_->dc;
}
