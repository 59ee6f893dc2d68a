#include "compose/PictureLoad.h"

#include "compose/BmpFile.h"
#include "compose/JpegCodec.h"
#include "files/AsciiCase.h"

namespace palvina {

bool HasBmpExtension(const std::string& path)
{
    return LowerExtension(path) == ".bmp";
}

Bitmap LoadBmpOrJpeg(const std::string& path)
{
    return HasBmpExtension(path) ? ReadBmpFile(path) : DecodeJpegFile(path);
}

} // namespace palvina
