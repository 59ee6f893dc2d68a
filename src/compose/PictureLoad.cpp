#include "compose/PictureLoad.h"

#include "compose/BmpFile.h"
#include "compose/JpegCodec.h"

#include <algorithm>
#include <cctype>

namespace palvina {

bool HasBmpExtension(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        return false;
    }
    std::string extension = path.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".bmp";
}

Bitmap LoadBmpOrJpeg(const std::string& path)
{
    return HasBmpExtension(path) ? ReadBmpFile(path) : DecodeJpegFile(path);
}

} // namespace palvina
