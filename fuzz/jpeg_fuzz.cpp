// libFuzzer target: arbitrary bytes as a JPEG file, through the full-size decoder and the scaled
// row-streaming decoder.
#include "compose/JpegCodec.h"
#include "compose/RowSink.h"
#include "files/Errors.h"

#include <cstdint>
#include <cstdlib>

namespace {

// As libjpeg-turbo's own fuzzers do, larger pictures are skipped to keep each run fast.
constexpr std::int64_t kMaxFuzzPixels = 4'000'000;

// Checks the order of the calls and reads every byte of every row.
class CheckingSink : public palvina::RowSink {
public:
    void begin(int width, int height) override
    {
        if (begun_ || width < 1 || height < 1) {
            std::abort();
        }
        begun_ = true;
        width_ = width;
        height_ = height;
    }
    void row(const std::uint8_t* bgr) override
    {
        if (!begun_ || rows_ >= height_) {
            std::abort();
        }
        ++rows_;
        for (int i = 0; i < width_ * 3; ++i) {
            sum_ += bgr[i];
        }
    }
    bool complete() const { return begun_ && rows_ == height_; }

private:
    bool begun_ = false;
    int width_ = 0;
    int height_ = 0;
    int rows_ = 0;
    unsigned sum_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try {
        const palvina::PictureSize declared = palvina::ReadJpegMemorySize(data, size);
        if (static_cast<std::int64_t>(declared.width) * declared.height > kMaxFuzzPixels) {
            return 0;
        }
    } catch (const palvina::PictureError&) {
        return 0;
    }

    try {
        const palvina::Bitmap bitmap = palvina::DecodeJpegMemory(data, size);
        unsigned sum = 0;
        for (int y = 0; y < bitmap.height(); ++y) {
            const std::uint8_t* row = bitmap.row(y);
            for (std::size_t i = 0; i < bitmap.stride(); ++i) {
                sum += row[i];
            }
        }
        volatile unsigned keep = sum;
        (void)keep;
    } catch (const palvina::PictureError&) {
    }

    try {
        CheckingSink sink;
        palvina::DecodeJpegMemoryRows(data, size, 64, 48, sink);
        // A decode that returns must have delivered every row.
        if (!sink.complete()) {
            std::abort();
        }
    } catch (const palvina::PictureError&) {
    }
    return 0;
}
