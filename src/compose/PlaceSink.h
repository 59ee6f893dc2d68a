#pragma once

#include "compose/Bitmap.h"
#include "compose/RowSink.h"

namespace palvina {

// Plain-copies a picture, as its rows arrive, into a canvas with the picture's top-left corner at
// (x, y); what falls outside the canvas is cut off. Spares holding the decoded picture whole.
class PlaceSink : public RowSink {
public:
    PlaceSink(Bitmap& canvas, int x, int y) : canvas_(canvas), x_(x), y_(y) {}

    void begin(int width, int height) override;
    void row(const std::uint8_t* bgr) override;

    bool finished() const { return began_ && row_ == height_; }

private:
    Bitmap& canvas_;
    int x_;
    int y_;
    bool began_ = false;
    int width_ = 0;
    int height_ = 0;
    int row_ = 0;
};

} // namespace palvina
