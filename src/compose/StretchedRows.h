#pragma once

#include "compose/Bitmap.h"
#include "compose/Resampler.h"

#include <cstdint>
#include <deque>
#include <vector>

namespace palvina {

// The rows of a picture smooth-stretched to width x height, made one at a time on demand: only
// the rows asked for (and the few the stretch finishes at once) are held, never the whole result.
class StretchedRows {
public:
    // `source` (24-bit) must outlive this object and stay unchanged.
    StretchedRows(const Bitmap& source, int width, int height);
    StretchedRows(const StretchedRows&) = delete;
    StretchedRows& operator=(const StretchedRows&) = delete;

    // Row y (width x 3 bytes of blue, green, red), valid until the next call. Rows are asked for
    // top to bottom: y never decreases from one call to the next.
    const std::uint8_t* row(int y);

private:
    const Bitmap& source_;
    int width_;
    int height_;
    int fed_ = 0;        // source rows given to the stretch
    int firstHeld_ = 0;  // the row held at the front of held_
    std::deque<std::vector<std::uint8_t>> held_;
    StretchSink sink_;
};

} // namespace palvina
