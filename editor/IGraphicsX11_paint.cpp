#include "IGraphicsX11_native.h"

#include <cstdlib>

#include "LICE_SysBitmap.h"

namespace {

// Where a colour channel sits in a pixel of the visual, and how many bits it has.
struct Channel {
    int shift = 0;
    int bits = 0;
};

Channel ChannelOf(unsigned long mask) {
    Channel channel;
    for (; mask && !(mask & 1); mask >>= 1)
        ++channel.shift;
    for (; mask & 1; mask >>= 1)
        ++channel.bits;
    return channel;
}

unsigned long Place(int value, const Channel& channel) {
    const unsigned long v = channel.bits >= 8 ? static_cast<unsigned long>(value) << (channel.bits - 8)
                                              : static_cast<unsigned long>(value) >> (8 - channel.bits);
    return v << channel.shift;
}

} // namespace

// ---- the tick's platform step ----

void IGraphicsX11::ShowDirty(const PixelRect& rect) {
    // Nothing is drawn for a window that is not mapped; what stays dirty is drawn once it shows.
    if (window_ && window_->mapped)
        RenderRect(rect);
}

bool IGraphicsX11::PresentRect(const PixelRect& rect) {
    LICE_SysBitmap* bitmap = DrawBitmap();
    if (!window_ || !window_->windowExists || !window_->mapped || !bitmap || !bitmap->Bits())
        return true;
    const PixelRect r = rect.Intersect(PixelRect{0, 0, bitmap->Width(), bitmap->Height()});
    if (r.W() <= 0 || r.H() <= 0)
        return true;
    Connection& c = *window_;
    XErrorTrap trap(c.display);
    if (c.directPixels) {
        // The draw bitmap as it is: 32-bit 0xAARRGGBB words, which is the server's own format here.
        XImage image{};
        image.width = bitmap->Width();
        image.height = bitmap->Height();
        image.format = ZPixmap;
        image.data = reinterpret_cast<char*>(bitmap->Bits());
        image.byte_order = LSBFirst; // Xlib swaps for a server of the other order
        image.bitmap_unit = 32;
        image.bitmap_bit_order = LSBFirst;
        image.bitmap_pad = 32;
        image.depth = c.depth;
        image.bytes_per_line = bitmap->RowSpan() * 4;
        image.bits_per_pixel = 32;
        image.red_mask = 0xFF0000;
        image.green_mask = 0xFF00;
        image.blue_mask = 0xFF;
        if (XInitImage(&image))
            XPutImage(c.display, c.window, c.gc, &image, r.left, r.top, r.left, r.top,
                      static_cast<unsigned>(r.W()), static_cast<unsigned>(r.H()));
        return true;
    }
    // Another pixel layout (16-bit, other channel orders): the rectangle converted pixel by pixel.
    XImage* image = XCreateImage(c.display, c.visual, static_cast<unsigned>(c.depth), ZPixmap, 0, nullptr,
                                 static_cast<unsigned>(r.W()), static_cast<unsigned>(r.H()), 32, 0);
    if (!image)
        return true;
    image->data = static_cast<char*>(std::malloc(static_cast<size_t>(image->bytes_per_line) * r.H()));
    if (image->data) {
        const Channel red = ChannelOf(c.visual->red_mask);
        const Channel green = ChannelOf(c.visual->green_mask);
        const Channel blue = ChannelOf(c.visual->blue_mask);
        for (int y = 0; y < r.H(); ++y) {
            const LICE_pixel* row = bitmap->PixelAt(r.left, r.top + y);
            for (int x = 0; x < r.W(); ++x) {
                const LICE_pixel p = row[x];
                XPutPixel(image, x, y,
                          Place(LICE_GETR(p), red) | Place(LICE_GETG(p), green) | Place(LICE_GETB(p), blue));
            }
        }
        XPutImage(c.display, c.window, c.gc, image, 0, 0, r.left, r.top, static_cast<unsigned>(r.W()),
                  static_cast<unsigned>(r.H()));
    }
    XDestroyImage(image); // frees the pixels too
    return true;
}

void IGraphicsX11::ResizeSurface(int width, int height) {
    RemoveNotice();
    IGraphicsDrawnEntry::ResizeSurface(width, height);
    if (!window_ || !window_->windowExists || Width() <= 0 || Height() <= 0)
        return;
    Connection& c = *window_;
    XErrorTrap trap(c.display);
    XResizeWindow(c.display, c.window, static_cast<unsigned>(Width()), static_cast<unsigned>(Height()));
    SetFixedSize(c.display, c.window, Width(), Height());
    XFlush(c.display);
}
