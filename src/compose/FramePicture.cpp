#include "compose/FramePicture.h"

#include "compose/BmpFile.h"
#include "compose/PictureLoad.h"
#include "compose/Resampler.h"

namespace palvina {

bool PaintFramePicture(const std::string& framePath, Bitmap& canvas)
{
    if (HasBmpExtension(framePath)) {
        const PixelFormat format = canvas.format();
        canvas = ReadBmpFile(framePath);
        canvas.setFormat(format);
        return true;
    }
    // Decoded straight onto the canvas, reduced by the decoder first when much larger.
    StretchJpegInto(framePath, canvas);
    return true;
}

} // namespace palvina
