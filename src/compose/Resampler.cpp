#include "compose/Resampler.h"

#include "compose/JpegCodec.h"
#include "files/Errors.h"

#include <algorithm>
#include <cstring>

namespace palvina {

namespace {

// Across, the three components of a pixel are summed at once in one 64-bit word, 21 bits each:
// with 13-bit weights a lane stays below 255 << 13 (plus rounding), under 1 << 21.
constexpr int kAcrossBits = 13;
constexpr int kLane = 21;
constexpr std::uint64_t kLaneMask = (std::uint64_t{1} << 16) - 1;
// Across sums become 8.8 values: 13 weight bits minus 5.
constexpr int kAcrossShift = kAcrossBits - 8;
constexpr std::uint64_t kAcrossRound = (std::uint64_t{1} << (kAcrossShift - 1)) * (1 + (std::uint64_t{1} << kLane)
                                                                                  + (std::uint64_t{1} << 2 * kLane));
// Down, 14-bit weights on 8.8 values: sums carry 22 fraction bits and stay below 1 << 30.
constexpr int kDownBits = 14;
constexpr int kDownShift = kDownBits + 8;
constexpr std::uint32_t kDownRound = 1u << (kDownShift - 1);

// Row buffers hold whole blocks of values so that the fixed-length inner loops vectorise.
constexpr std::size_t kBlock = 16;

std::size_t Blocks(std::size_t values)
{
    return (values + kBlock - 1) / kBlock;
}

std::uint64_t Pack(const std::uint8_t* bgr)
{
    return bgr[0] | static_cast<std::uint64_t>(bgr[1]) << kLane | static_cast<std::uint64_t>(bgr[2]) << 2 * kLane;
}

// One row across: `taps` packed source pixels per destination pixel.
template <int Taps>
void StretchAcross(const std::uint64_t* in, std::uint16_t* out, const int* start, const std::int32_t* w,
                   int width, int taps)
{
    const int n = Taps > 0 ? Taps : taps;
    for (int x = 0; x < width; ++x, w += n, out += 3) {
        const std::uint64_t* s = in + start[x];
        std::uint64_t sum = kAcrossRound;
        for (int k = 0; k < n; ++k) {
            sum += static_cast<std::uint64_t>(w[k]) * s[k];
        }
        out[0] = static_cast<std::uint16_t>((sum >> kAcrossShift) & kLaneMask);
        out[1] = static_cast<std::uint16_t>((sum >> (kAcrossShift + kLane)) & kLaneMask);
        out[2] = static_cast<std::uint16_t>((sum >> (kAcrossShift + 2 * kLane)) & kLaneMask);
    }
}

void AddWeighted(std::uint32_t* __restrict sum, const std::uint16_t* __restrict h, std::uint32_t w,
                 std::size_t blocks)
{
    for (std::size_t b = 0; b < blocks; ++b, sum += kBlock, h += kBlock) {
        for (std::size_t i = 0; i < kBlock; ++i) {
            sum[i] += w * h[i];
        }
    }
}

void SetWeighted(std::uint32_t* __restrict sum, const std::uint16_t* __restrict h, std::uint32_t w,
                 std::size_t blocks)
{
    for (std::size_t b = 0; b < blocks; ++b, sum += kBlock, h += kBlock) {
        for (std::size_t i = 0; i < kBlock; ++i) {
            sum[i] = w * h[i];
        }
    }
}

void RoundSums(std::uint8_t* __restrict out, const std::uint32_t* __restrict sum, std::size_t blocks)
{
    for (std::size_t b = 0; b < blocks; ++b, sum += kBlock, out += kBlock) {
        for (std::size_t i = 0; i < kBlock; ++i) {
            out[i] = static_cast<std::uint8_t>((sum[i] + kDownRound) >> kDownShift);
        }
    }
}

void RoundValues(std::uint8_t* __restrict out, const std::uint16_t* __restrict h, std::size_t blocks)
{
    for (std::size_t b = 0; b < blocks; ++b, h += kBlock, out += kBlock) {
        for (std::size_t i = 0; i < kBlock; ++i) {
            out[i] = static_cast<std::uint8_t>((h[i] + 128u) >> 8);
        }
    }
}

void Interpolate(std::uint8_t* __restrict out, const std::uint16_t* __restrict a, const std::uint16_t* __restrict b,
                 std::uint32_t wa, std::uint32_t wb, std::size_t blocks)
{
    for (std::size_t k = 0; k < blocks; ++k, a += kBlock, b += kBlock, out += kBlock) {
        for (std::size_t i = 0; i < kBlock; ++i) {
            out[i] = static_cast<std::uint8_t>((wa * a[i] + wb * b[i] + kDownRound) >> kDownShift);
        }
    }
}

// Copies `values` bytes of blue, green, red into a row of 3 or 4 bytes per pixel.
void StoreRow(std::uint8_t* out, int bytesPerPixel, const std::uint8_t* bgr, std::size_t values)
{
    if (bytesPerPixel == 3) {
        std::memcpy(out, bgr, values);
        return;
    }
    for (std::size_t i = 0; i < values; i += 3, out += 4) {
        out[0] = bgr[i];
        out[1] = bgr[i + 1];
        out[2] = bgr[i + 2];
        out[3] = 0;
    }
}

} // namespace

StretchSink::Axis StretchSink::MakeAxis(int sourceSize, int destSize, int weightBits)
{
    const std::int32_t one = std::int32_t{1} << weightBits;
    Axis axis;
    axis.start.resize(static_cast<std::size_t>(destSize));
    axis.first.resize(static_cast<std::size_t>(destSize));
    axis.last.resize(static_cast<std::size_t>(destSize));
    if (sourceSize == destSize) {
        for (int i = 0; i < destSize; ++i) {
            axis.start[i] = axis.first[i] = axis.last[i] = i;
        }
        axis.weights.assign(static_cast<std::size_t>(destSize), one);
        return axis;
    }
    axis.identity = false;
    axis.enlarging = sourceSize < destSize;
    axis.taps = axis.enlarging ? 2 : (sourceSize + destSize - 1) / destSize + 1;
    axis.taps = std::min(axis.taps, sourceSize);
    axis.weights.assign(static_cast<std::size_t>(destSize) * axis.taps, 0);

    std::vector<std::int64_t> raw;
    std::vector<std::int32_t> w;
    const std::int64_t src = sourceSize;
    const std::int64_t dst = destSize;
    for (int i = 0; i < destSize; ++i) {
        // Source indexes first .. first + raw.size() - 1 with weights raw[] / total.
        int first = 0;
        std::int64_t total = 0;
        raw.clear();
        if (axis.enlarging) {
            // The centre of destination pixel i, in source pixels, is ((2i + 1) src - dst) / (2 dst).
            const std::int64_t centre = (2 * i + 1) * src - dst;
            total = 2 * dst;
            if (centre <= 0) {
                raw = {total};
            } else if (centre >= (src - 1) * total) {
                first = sourceSize - 1;
                raw = {total};
            } else {
                first = static_cast<int>(centre / total);
                const std::int64_t frac = centre - first * total;
                raw = {total - frac, frac};
            }
        } else {
            // Destination pixel i covers source [i src, (i + 1) src) in units of 1 / dst pixel.
            const std::int64_t lo = i * src;
            const std::int64_t hi = lo + src;
            first = static_cast<int>(lo / dst);
            const int lastCovered = static_cast<int>((hi - 1) / dst);
            total = src;
            for (int k = first; k <= lastCovered; ++k) {
                raw.push_back(std::min(hi, (k + 1) * dst) - std::max(lo, k * dst));
            }
        }

        // Fixed-point weights summing to exactly `one`: the largest takes the rounding error.
        w.resize(raw.size());
        std::int32_t sum = 0;
        std::size_t largest = 0;
        for (std::size_t k = 0; k < raw.size(); ++k) {
            w[k] = static_cast<std::int32_t>((raw[k] * one + total / 2) / total);
            sum += w[k];
            if (w[k] > w[largest]) {
                largest = k;
            }
        }
        w[largest] += one - sum;

        const int count = static_cast<int>(raw.size());
        int firstNonZero = first;
        int lastNonZero = first + count - 1;
        while (w[firstNonZero - first] == 0) {
            ++firstNonZero;
        }
        while (w[lastNonZero - first] == 0) {
            --lastNonZero;
        }
        const int start = std::min(first, sourceSize - axis.taps);
        axis.start[i] = start;
        axis.first[i] = firstNonZero;
        axis.last[i] = lastNonZero;
        std::int32_t* out = axis.weights.data() + static_cast<std::size_t>(i) * axis.taps;
        for (int k = 0; k < count; ++k) {
            out[first - start + k] = w[k];
        }
    }
    return axis;
}

StretchSink::StretchSink(Bitmap& destination)
    : StretchSink(destination.width(), destination.height(),
                  [&destination](int y, const std::uint8_t* bgr) {
                      StoreRow(destination.row(y), destination.bytesPerPixel(), bgr,
                               static_cast<std::size_t>(destination.width()) * 3);
                  })
{
}

StretchSink::StretchSink(int width, int height, RowOutput output)
    : destWidth_(width), destHeight_(height), output_(std::move(output))
{
    if (width < 0 || height < 0) {
        destWidth_ = destHeight_ = 0;
    }
}

void StretchSink::begin(int width, int height)
{
    if (!IsAcceptablePictureSize(width, height)) {
        throw PictureError("Picture size " + std::to_string(width) + " x " + std::to_string(height)
                           + " is not supported");
    }
    began_ = true;
    sourceWidth_ = width;
    sourceHeight_ = height;
    sourceRow_ = 0;
    destRow_ = 0;
    if (destWidth_ == 0 || destHeight_ == 0) {
        return;
    }
    across_ = MakeAxis(width, destWidth_, kAcrossBits);
    down_ = MakeAxis(height, destHeight_, kDownBits);
    values_ = static_cast<std::size_t>(destWidth_) * 3;
    const std::size_t padded = Blocks(values_) * kBlock;
    packed_.assign(across_.identity ? 0 : static_cast<std::size_t>(width), 0);
    rows_[0].assign(padded, 0);
    rows_[1].assign(down_.enlarging ? padded : 0, 0);
    const bool summing = !down_.identity && !down_.enlarging;
    sums_[0].assign(summing ? padded : 0, 0);
    sums_[1].assign(summing ? padded : 0, 0);
    out_.assign(padded, 0);
}

void StretchSink::horizontal(const std::uint8_t* bgr, std::uint16_t* out)
{
    const int width = destWidth_;
    if (across_.identity) {
        for (std::size_t i = 0; i < values_; ++i) {
            out[i] = static_cast<std::uint16_t>(bgr[i] << 8);
        }
        return;
    }
    std::uint64_t* packed = packed_.data();
    for (int x = 0; x < sourceWidth_; ++x) {
        packed[x] = Pack(bgr + static_cast<std::ptrdiff_t>(x) * 3);
    }
    const int* start = across_.start.data();
    const std::int32_t* w = across_.weights.data();
    switch (across_.taps) {
    case 1: StretchAcross<1>(packed, out, start, w, width, 1); break;
    case 2: StretchAcross<2>(packed, out, start, w, width, 2); break;
    case 3: StretchAcross<3>(packed, out, start, w, width, 3); break;
    case 4: StretchAcross<4>(packed, out, start, w, width, 4); break;
    default: StretchAcross<0>(packed, out, start, w, width, across_.taps); break;
    }
}

void StretchSink::row(const std::uint8_t* bgr)
{
    if (!began_ || sourceRow_ >= sourceHeight_) {
        throw PictureError("Picture rows do not match the announced size");
    }
    const int r = sourceRow_++;
    if (destWidth_ == 0 || destHeight_ == 0) {
        return;
    }
    const std::size_t blocks = Blocks(values_);

    if (down_.identity) {
        if (across_.identity) {
            // 1:1 on both axes: the row is copied as it is.
            output_(r, bgr);
        } else {
            horizontal(bgr, rows_[0].data());
            RoundValues(out_.data(), rows_[0].data(), blocks);
            output_(r, out_.data());
        }
        destRow_ = r + 1;
        return;
    }

    if (down_.enlarging) {
        // A destination row needs the last one or two source rows, both still held.
        horizontal(bgr, rows_[r & 1].data());
        for (; destRow_ < destHeight_ && down_.last[destRow_] <= r; ++destRow_) {
            const int start = down_.start[destRow_];
            const std::int32_t* w = down_.weights.data() + static_cast<std::size_t>(destRow_) * down_.taps;
            if (down_.taps == 1 || w[1] == 0) {
                RoundValues(out_.data(), rows_[start & 1].data(), blocks);
            } else {
                Interpolate(out_.data(), rows_[start & 1].data(), rows_[(start + 1) & 1].data(),
                            static_cast<std::uint32_t>(w[0]), static_cast<std::uint32_t>(w[1]), blocks);
            }
            output_(destRow_, out_.data());
        }
        return;
    }

    // Shrinking: a source row adds into the running sums of at most two destination rows.
    const std::uint16_t* h = rows_[0].data();
    horizontal(bgr, rows_[0].data());
    for (int j = destRow_; j < destHeight_ && down_.first[j] <= r; ++j) {
        if (r > down_.last[j]) {
            continue;
        }
        const auto weight = static_cast<std::uint32_t>(
            down_.weights[static_cast<std::size_t>(j) * down_.taps + (r - down_.start[j])]);
        if (r == down_.first[j]) {
            SetWeighted(sums_[j & 1].data(), h, weight, blocks);
        } else {
            AddWeighted(sums_[j & 1].data(), h, weight, blocks);
        }
    }
    for (; destRow_ < destHeight_ && down_.last[destRow_] <= r; ++destRow_) {
        RoundSums(out_.data(), sums_[destRow_ & 1].data(), blocks);
        output_(destRow_, out_.data());
    }
}

void SmoothStretch(const Bitmap& source, Bitmap& destination)
{
    StretchSink sink(destination);
    sink.begin(source.width(), source.height());
    if (source.format() == PixelFormat::Bgr24) {
        for (int y = 0; y < source.height(); ++y) {
            sink.row(source.row(y));
        }
        return;
    }
    std::vector<std::uint8_t> packed(static_cast<std::size_t>(source.width()) * 3);
    for (int y = 0; y < source.height(); ++y) {
        const std::uint8_t* in = source.row(y);
        for (int x = 0; x < source.width(); ++x) {
            packed[3 * x] = in[4 * x];
            packed[3 * x + 1] = in[4 * x + 1];
            packed[3 * x + 2] = in[4 * x + 2];
        }
        sink.row(packed.data());
    }
}

namespace {

void DecodeInto(const std::string& path, int width, int height, StretchSink& sink)
{
    DecodeJpegFileRows(path, width, height, sink);
    if (!sink.finished()) {
        throw PictureError("Unable to decode the whole picture " + path);
    }
}

} // namespace

void StretchJpegInto(const std::string& path, Bitmap& destination)
{
    StretchSink sink(destination);
    DecodeInto(path, destination.width(), destination.height(), sink);
}

void StretchJpegRows(const std::string& path, int width, int height, StretchSink::RowOutput output)
{
    StretchSink sink(width, height, std::move(output));
    DecodeInto(path, width, height, sink);
}

Bitmap LoadJpegStretched(const std::string& path, int width, int height)
{
    Bitmap result(width, height);
    StretchJpegInto(path, result);
    return result;
}

} // namespace palvina
