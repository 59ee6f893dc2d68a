#include "platform/XRootPixmap.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <array>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace palvina {

namespace {

// For each 8-bit value of one colour component, its bits placed under the visual's mask.
using ChannelTable = std::array<std::uint32_t, 256>;

ChannelTable MakeChannelTable(unsigned long mask)
{
    ChannelTable table{};
    if (mask == 0) {
        return table;
    }
    const int shift = std::countr_zero(mask);
    const int bits = std::popcount(mask);
    const std::uint64_t top = (bits >= 32) ? 0xFFFFFFFFull : ((1ull << bits) - 1);
    for (std::uint32_t value = 0; value < 256; ++value) {
        const std::uint64_t scaled = (value * top + 127) / 255;
        table[value] = static_cast<std::uint32_t>((scaled << shift) & mask);
    }
    return table;
}

// The 8-bit value of one colour component read from under the visual's mask.
std::uint8_t ComponentFromPixel(unsigned long pixel, unsigned long mask)
{
    const int shift = std::countr_zero(mask);
    const int bits = std::popcount(mask);
    const std::uint64_t top = (bits >= 32) ? 0xFFFFFFFFull : ((1ull << bits) - 1);
    const std::uint64_t value = (pixel & mask) >> shift;
    return static_cast<std::uint8_t>((value * 255 + top / 2) / top);
}

bool HostIsLittleEndian()
{
    return std::endian::native == std::endian::little;
}

} // namespace

unsigned long UploadRootPixmap(_XDisplay* display, const Bitmap& canvas)
{
    const int screen = DefaultScreen(display);
    Visual* visual = DefaultVisual(display, screen);
    const int depth = DefaultDepth(display, screen);
    if ((visual->c_class != TrueColor && visual->c_class != DirectColor) || visual->red_mask == 0
        || visual->green_mask == 0 || visual->blue_mask == 0) {
        throw std::runtime_error("the X display has no true-colour visual for the wallpaper");
    }
    if (canvas.format() != PixelFormat::Bgrx32) {
        throw std::runtime_error("the wallpaper canvas is not 32-bit");
    }
    const unsigned width = static_cast<unsigned>(canvas.width());
    const unsigned height = static_cast<unsigned>(canvas.height());

    XImage* image = XCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, 0, nullptr,
                                 width, height, 32, 0);
    if (!image) {
        throw std::runtime_error("cannot make an X image for the wallpaper");
    }
    // XDestroyImage frees the data with free().
    image->data = static_cast<char*>(std::malloc(static_cast<std::size_t>(image->bytes_per_line) * height));
    if (!image->data) {
        XDestroyImage(image);
        throw std::runtime_error("out of memory for the wallpaper image");
    }

    const ChannelTable red = MakeChannelTable(visual->red_mask);
    const ChannelTable green = MakeChannelTable(visual->green_mask);
    const ChannelTable blue = MakeChannelTable(visual->blue_mask);
    // Bits of the pixel that no colour uses (alpha of a 32-bit visual) are set: opaque.
    const std::uint64_t depthBits = depth >= 32 ? 0xFFFFFFFFull : ((1ull << depth) - 1);
    const auto opaque = static_cast<std::uint32_t>(
        depthBits & ~static_cast<std::uint64_t>(visual->red_mask | visual->green_mask | visual->blue_mask));
    const bool direct = image->bits_per_pixel == 32
                        && (image->byte_order == LSBFirst) == HostIsLittleEndian();
    for (unsigned y = 0; y < height; ++y) {
        const std::uint8_t* in = canvas.row(static_cast<int>(y));
        char* out = image->data + static_cast<std::size_t>(image->bytes_per_line) * y;
        for (unsigned x = 0; x < width; ++x, in += 4) {
            const std::uint32_t pixel = blue[in[0]] | green[in[1]] | red[in[2]] | opaque;
            if (direct) {
                std::memcpy(out + static_cast<std::size_t>(x) * 4, &pixel, 4);
            } else {
                XPutPixel(image, static_cast<int>(x), static_cast<int>(y), pixel);
            }
        }
    }

    const Window root = RootWindow(display, screen);
    const Pixmap pixmap = XCreatePixmap(display, root, width, height, static_cast<unsigned>(depth));
    GC gc = XCreateGC(display, pixmap, 0, nullptr);
    XPutImage(display, pixmap, gc, image, 0, 0, 0, 0, width, height);
    XFreeGC(display, gc);
    XDestroyImage(image);
    return pixmap;
}

bool ReadPixmapGeometry(_XDisplay* display, unsigned long pixmap, unsigned& width, unsigned& height,
                        unsigned& depth)
{
    Window root = 0;
    int x = 0;
    int y = 0;
    unsigned border = 0;
    return XGetGeometry(display, pixmap, &root, &x, &y, &width, &height, &border, &depth) != 0;
}

Bitmap DownloadRootPixmap(_XDisplay* display, unsigned long pixmap)
{
    Visual* visual = DefaultVisual(display, DefaultScreen(display));
    if (visual->red_mask == 0 || visual->green_mask == 0 || visual->blue_mask == 0) {
        throw std::runtime_error("the X display has no true-colour visual for the wallpaper");
    }
    unsigned width = 0;
    unsigned height = 0;
    unsigned depth = 0;
    if (!ReadPixmapGeometry(display, pixmap, width, height, depth)
        || static_cast<int>(depth) != DefaultDepth(display, DefaultScreen(display))) {
        throw std::runtime_error("the root pixmap cannot be read");
    }
    XImage* image = XGetImage(display, pixmap, 0, 0, width, height, AllPlanes, ZPixmap);
    if (!image) {
        throw std::runtime_error("the root pixmap cannot be read");
    }
    Bitmap picture(static_cast<int>(width), static_cast<int>(height));
    for (unsigned row = 0; row < height; ++row) {
        std::uint8_t* out = picture.row(static_cast<int>(row));
        for (unsigned column = 0; column < width; ++column, out += 3) {
            const unsigned long pixel = XGetPixel(image, static_cast<int>(column), static_cast<int>(row));
            out[0] = ComponentFromPixel(pixel, visual->blue_mask);
            out[1] = ComponentFromPixel(pixel, visual->green_mask);
            out[2] = ComponentFromPixel(pixel, visual->red_mask);
        }
    }
    XDestroyImage(image);
    return picture;
}

} // namespace palvina
