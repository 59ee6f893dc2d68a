// Writes photo-like JPEG test pictures for the benchmarks, deterministically.
//
//   palvina-bench-photos OUT_DIR [WIDTHxHEIGHT ...]
//
// Default sizes: 1920x1080, 4000x3000 (12 MP), 6000x4000 (24 MP). Each is written as
// OUT_DIR/photo-WIDTHxHEIGHT.jpg at quality 90.

#include "PhotoScene.h"
#include "compose/JpegCodec.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUT_DIR [WIDTHxHEIGHT ...]\n", argv[0]);
        return 2;
    }
    std::vector<std::string> sizes(argv + 2, argv + argc);
    if (sizes.empty()) {
        sizes = {"1920x1080", "4000x3000", "6000x4000"};
    }
    try {
        std::filesystem::create_directories(argv[1]);
        for (const std::string& size : sizes) {
            int width = 0;
            int height = 0;
            if (std::sscanf(size.c_str(), "%dx%d", &width, &height) != 2 || width <= 0 || height <= 0) {
                std::fprintf(stderr, "not a size: %s\n", size.c_str());
                return 2;
            }
            const std::string path = (std::filesystem::path(argv[1]) / ("photo-" + size + ".jpg")).string();
            palvina::EncodeJpegFile(palvina::synth::PaintPhoto(width, height, 2024), path, 90);
            std::printf("%s\n", path.c_str());
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
