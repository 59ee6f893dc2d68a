// Writes the mask and frame pictures the program folder is delivered with. Every picture is a pure
// function of fixed seeds, so running it again reproduces the committed files.
//
//   palvina-make-data <program folder data, e.g. data/app>

#include "Catalogue.h"
#include "compose/JpegCodec.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

namespace {

constexpr int kQuality = 90;

void WriteAll(const std::vector<palvina::synth::NamedPicture>& pictures, const std::filesystem::path& folder)
{
    std::filesystem::create_directories(folder);
    for (const auto& picture : pictures) {
        const std::filesystem::path file = folder / (picture.name + ".jpg");
        palvina::EncodeJpegFile(picture.paint().toBitmap(0xD17E5EEDU), file.string(), kQuality);
        std::printf("%s\n", file.string().c_str());
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <program folder data>\n", argv[0]);
        return 2;
    }
    try {
        const std::filesystem::path app = argv[1];
        WriteAll(palvina::synth::MaskPictures(), app / "Images" / "Mask");
        WriteAll(palvina::synth::FramePictures(), app / "Images" / "Iframe");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
