#pragma once

#include <cstdint>

namespace palvina {

// Receives a picture row by row, top to bottom, as 24-bit BGR rows: lets a decoder feed a
// resampler without holding the whole picture.
class RowSink {
public:
    virtual ~RowSink() = default;
    // Called once, before the first row, with the size of the rows that follow.
    virtual void begin(int width, int height) = 0;
    virtual void row(const std::uint8_t* bgr) = 0;
};

} // namespace palvina
