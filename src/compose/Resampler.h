#pragma once

#include "compose/Bitmap.h"
#include "compose/RowSink.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace palvina {

// The smooth stretch: the whole source onto the whole destination, each axis on its own.
// Shrinking averages the source area each destination pixel covers (partial pixels at the edges
// weighted by their coverage), enlarging interpolates linearly between pixel centres, and an
// axis whose size does not change is copied exactly, so a 1:1 stretch reproduces the source.
// Fixed point throughout, rows stretched across first (into 8.8 values), then down.
//
// StretchSink takes the source row by row and writes each destination row as soon as the source
// rows it needs have arrived, holding only a couple of intermediate rows: a large picture can be
// stretched while it is being decoded, without ever being held whole.
class StretchSink : public RowSink {
public:
    // Receives each finished destination row, top to bottom: `bgr` holds width x 3 bytes and is
    // valid during the call only.
    using RowOutput = std::function<void(int y, const std::uint8_t* bgr)>;

    // The destination keeps its size and format (24 or 32 bits); it must outlive the sink.
    explicit StretchSink(Bitmap& destination);
    // Stretches to width x height and hands over the rows instead of keeping them.
    StretchSink(int width, int height, RowOutput output);

    void begin(int width, int height) override;
    void row(const std::uint8_t* bgr) override;

    // True once every source row announced by begin() has arrived.
    bool finished() const { return began_ && sourceRow_ == sourceHeight_; }

private:
    // One axis of the stretch: for every destination index `taps` weights (zero-padded, summing
    // to 1 << weightBits) for the source indexes from `start` on; `first` and `last` are the
    // first and last source index with a non-zero weight.
    struct Axis {
        int taps = 1;
        bool identity = true;
        bool enlarging = false;
        std::vector<int> start;
        std::vector<int> first;
        std::vector<int> last;
        std::vector<std::int32_t> weights;
    };
    static Axis MakeAxis(int sourceSize, int destSize, int weightBits);

    void horizontal(const std::uint8_t* bgr, std::uint16_t* out);

    int destWidth_ = 0;
    int destHeight_ = 0;
    RowOutput output_;
    Axis across_;
    Axis down_;
    bool began_ = false;
    int sourceWidth_ = 0;
    int sourceHeight_ = 0;
    int sourceRow_ = 0;        // rows received so far
    int destRow_ = 0;          // next destination row to write
    std::size_t values_ = 0;   // components in a destination row
    std::vector<std::uint64_t> packed_;   // a source row, each pixel's components in one word
    std::vector<std::uint16_t> rows_[2];  // source rows stretched across (8.8 fixed point)
    std::vector<std::uint32_t> sums_[2];  // running weighted sums of destination rows (shrinking)
    std::vector<std::uint8_t> out_;       // a finished destination row
};

// Smooth-stretches the whole of `source` onto the whole of `destination`, which keeps its size
// and format. Either may be 24 or 32 bits.
void SmoothStretch(const Bitmap& source, Bitmap& destination);

// Decodes a JPEG file and smooth-stretches it onto the whole of `destination` (which keeps its
// size and format) while decoding, the decoder reducing large pictures first. Throws PictureError.
void StretchJpegInto(const std::string& path, Bitmap& destination);

// The same, handing the stretched rows to `output` as they are finished instead of keeping them.
void StretchJpegRows(const std::string& path, int width, int height, StretchSink::RowOutput output);

// Decodes a JPEG file and smooth-stretches it to width x height while decoding (with the decoder
// reducing large pictures first), without holding the full-size picture. Throws PictureError.
Bitmap LoadJpegStretched(const std::string& path, int width, int height);

} // namespace palvina
