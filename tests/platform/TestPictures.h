#pragma once

#include "compose/Bitmap.h"
#include "compose/BmpFile.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

namespace palvina::test {

// A one-colour BMP (colour 0x00BBGGRR), written as the program writes its composed wallpaper:
// to a new file renamed over the old one.
inline void WriteSolidBmp(const std::string& path, std::uint32_t colour, int width = 64, int height = 64)
{
    Bitmap bitmap(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            bitmap.setPixel(x, y, colour);
        }
    }
    WriteBmpFile(bitmap, path);
}

inline std::string FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace palvina::test
