#include "compose/StretchedRows.h"

#include "files/Errors.h"

namespace palvina {

StretchedRows::StretchedRows(const Bitmap& source, int width, int height)
    : source_(source), width_(width), height_(height),
      sink_(width, height, [this](int, const std::uint8_t* bgr) {
          held_.emplace_back(bgr, bgr + static_cast<std::size_t>(width_) * 3);
      })
{
    if (source.format() != PixelFormat::Bgr24) {
        throw PictureError("Stretched rows need a 24-bit picture");
    }
    sink_.begin(source.width(), source.height());
}

const std::uint8_t* StretchedRows::row(int y)
{
    if (y < firstHeld_ || y >= height_) {
        throw PictureError("Stretched rows are asked for out of order");
    }
    while (firstHeld_ + static_cast<int>(held_.size()) <= y) {
        sink_.row(source_.row(fed_++));
    }
    while (firstHeld_ < y) {
        held_.pop_front();
        ++firstHeld_;
    }
    return held_.front().data();
}

} // namespace palvina
