#pragma once

#include "compose/PixelBuffer.h"

#include <cstddef>
#include <cstdint>

namespace palvina {

// Pixel layouts in memory, as Windows DIBs keep them: blue, green, red (and a pad byte).
enum class PixelFormat { Bgr24, Bgrx32 };

// Largest picture we agree to hold or decode: larger declared sizes are damaged or hostile files.
inline constexpr int kMaxPictureSide = 32768;
inline constexpr std::int64_t kMaxPicturePixels = 120'000'000;

// True when width x height is a size we agree to allocate (both sides >= 1).
bool IsAcceptablePictureSize(std::int64_t width, std::int64_t height);

// An in-memory picture, rows top-down, each row tightly packed (stride = width * bytes per pixel).
// Colours given as 32-bit values are 0x00BBGGRR (red in the lowest byte).
class Bitmap {
public:
    Bitmap() = default;
    // A black picture; throws PictureError when the size is not acceptable.
    Bitmap(int width, int height, PixelFormat format = PixelFormat::Bgr24);

    int width() const { return width_; }
    int height() const { return height_; }
    PixelFormat format() const { return format_; }
    int bytesPerPixel() const { return format_ == PixelFormat::Bgr24 ? 3 : 4; }
    std::size_t stride() const { return static_cast<std::size_t>(width_) * bytesPerPixel(); }
    bool empty() const { return width_ == 0 || height_ == 0; }

    std::uint8_t* row(int y) { return data_.data() + stride() * static_cast<std::size_t>(y); }
    const std::uint8_t* row(int y) const { return data_.data() + stride() * static_cast<std::size_t>(y); }
    std::uint8_t* data() { return data_.data(); }
    const std::uint8_t* data() const { return data_.data(); }

    // Converts the pixels in place to the given format (no-op when it already has it).
    void setFormat(PixelFormat format);
    // Changes the size, keeping the pixels where old and new areas overlap; new area is black.
    void resize(int width, int height);

    std::uint32_t pixel(int x, int y) const;
    void setPixel(int x, int y, std::uint32_t colour);

private:
    int width_ = 0;
    int height_ = 0;
    PixelFormat format_ = PixelFormat::Bgr24;
    PixelBuffer data_;
};

} // namespace palvina
