#include "compose/Composers.h"

#include "compose/BmpFile.h"
#include "compose/Fills.h"
#include "compose/FitValues.h"
#include "compose/FramePicture.h"
#include "compose/JpegCodec.h"
#include "compose/MaskBlend.h"
#include "compose/MaskOption.h"
#include "compose/PictureLoad.h"
#include "compose/PlainCopy.h"
#include "compose/Resampler.h"
#include "files/AtomicFile.h"
#include "files/ColorText.h"
#include "files/Errors.h"
#include "files/StrictNumber.h"

#include <cstdio>
#include <memory>

namespace palvina {

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr int kFrameBorder = 15;

using FitRule = FitValues (*)(int pictureWidth, int pictureHeight, int screenWidth, int screenHeight);

// Plain-copies a JPEG picture of the given size onto the canvas at (x, y) while decoding it.
void PlaceJpeg(const std::string& path, const PictureSize& size, Bitmap& canvas, int x, int y)
{
    StretchJpegRows(path, size.width, size.height,
                    [&](int row, const std::uint8_t* bgr) { PlaceRow(bgr, size.width, canvas, x, y + row); });
}

// An album picture: where it goes and, for a BMP file, its pixels at the fitted size (a JPEG
// picture is decoded when it is drawn).
struct AlbumPicture {
    std::string path;
    Bitmap pixels;
    FitValues fit;
};

AlbumPicture PrepareAlbumPicture(const std::string& path, FitRule fitRule, const ScreenSize& screen)
{
    AlbumPicture picture{path, {}, {}};
    if (HasBmpExtension(path)) {
        // A BMP put into an album folder by hand is composed like a decoded JPEG picture.
        picture.pixels = ReadBmpFile(path);
        picture.fit = fitRule(picture.pixels.width(), picture.pixels.height(), screen.width, screen.height);
        if (picture.fit.width != picture.pixels.width() || picture.fit.height != picture.pixels.height()) {
            Bitmap scaled(picture.fit.width, picture.fit.height);
            SmoothStretch(picture.pixels, scaled);
            picture.pixels = std::move(scaled);
        }
        return picture;
    }
    const PictureSize size = ReadJpegSize(path);
    picture.fit = fitRule(size.width, size.height, screen.width, screen.height);
    return picture;
}

// Sets the album picture onto the canvas: through a random mask, or plainly.
void DrawAlbumPicture(AlbumPicture& picture, bool masked, Bitmap& canvas, const ComposeContext& ctx)
{
    const FitValues& fit = picture.fit;
    const bool jpeg = picture.pixels.empty();
    if (!masked) {
        if (jpeg) {
            // Stretched straight onto the canvas while it is decoded.
            StretchJpegRows(picture.path, fit.width, fit.height, [&](int y, const std::uint8_t* row) {
                PlaceRow(row, fit.width, canvas, fit.offX, fit.offY + y);
            });
        } else {
            PlainCopy(picture.pixels, canvas, fit.offX, fit.offY);
        }
        return;
    }
    std::unique_ptr<RandomSource> ownRandom;
    if (!ctx.random) {
        ownRandom = std::make_unique<RandomSource>();
    }
    RandomSource& random = ctx.random ? *ctx.random : *ownRandom;
    // Blending in place gives what copying the canvas area out, blending and copying it back does.
    if (jpeg) {
        BlendJpegWithRandomMaskAt(picture.path, fit.width, fit.height, canvas, fit.offX, fit.offY, ctx.maskFolder,
                                  random);
    } else {
        BlendWithRandomMaskAt(picture.pixels, canvas, fit.offX, fit.offY, ctx.maskFolder, random);
    }
}

// Copies a file as it is, replacing the destination atomically.
void CopyFile(const std::string& source, const std::string& dest)
{
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(std::fopen(source.c_str(), "rb"), std::fclose);
    if (!in) {
        throw FileWriteError(dest);
    }
    AtomicFileWriter writer(dest);
    char buffer[1 << 16];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, in.get())) > 0) {
        writer.write(buffer, n);
    }
    if (std::ferror(in.get())) {
        throw FileWriteError(dest);
    }
    writer.commit(false);
}

} // namespace

bool ComposePictorialPage(const std::string& picture, const std::string& dest, const ComposeContext& ctx)
{
    const PictureSize size = ReadJpegSize(picture);
    const ScreenSize screen = ctx.screenSize();
    if (size.width >= screen.width && size.height >= screen.height) {
        WriteBmpFile(DecodeJpegFile(picture), dest);
        return true;
    }
    // A new canvas is black already.
    Bitmap canvas(screen.width, screen.height);
    PlaceJpeg(picture, size, canvas, screen.width - size.width, (screen.height - size.height) / 2);
    WriteBmpFile(canvas, dest);
    return true;
}

bool ComposeStretched(const std::string& picture, const std::string& dest, const ComposeContext& ctx)
{
    const ScreenSize screen = ctx.screenSize();
    WriteBmpFile(LoadJpegStretched(picture, screen.width, screen.height), dest);
    return true;
}

bool ComposeCenteredOrStretched(const std::string& picture, const std::string& dest, const ComposeContext& ctx)
{
    const PictureSize size = ReadJpegSize(picture);
    const ScreenSize screen = ctx.screenSize();
    if (size.width < screen.width || size.height < screen.height) {
        Bitmap canvas(screen.width, screen.height);
        PlaceJpeg(picture, size, canvas, (screen.width - size.width) / 2, (screen.height - size.height) / 2);
        WriteBmpFile(canvas, dest);
        return true;
    }
    WriteBmpFile(LoadJpegStretched(picture, screen.width, screen.height), dest);
    return true;
}

bool ComposeOnBackground(const std::string& picture, const std::string& dest, const std::string& backgroundKind,
                         const std::string& solidColour, const std::string& gradientStart,
                         const std::string& gradientEnd, const std::string& bandDirection,
                         const std::string& tilePicture, const std::string& maskOption,
                         const ComposeContext& ctx)
{
    const ScreenSize screen = ctx.screenSize();
    AlbumPicture shown = PrepareAlbumPicture(picture, FitOnBackground, screen);

    Bitmap canvas(screen.width, screen.height);
    // Only the texts the chosen kind uses are read; any other kind leaves the canvas black.
    if (backgroundKind == "0") {
        FillSolid(canvas, TextToColor(solidColour));
    } else if (backgroundKind == "1") {
        FillGradient(canvas, ParseStrictInt(bandDirection), TextToColor(gradientEnd), TextToColor(gradientStart));
    } else if (backgroundKind == "2") {
        FillTiled(canvas, tilePicture);
    }

    DrawAlbumPicture(shown, ReadMaskOption(maskOption), canvas, ctx);
    WriteBmpFile(canvas, dest);
    return true;
}

bool ComposeFramed(const std::string& picture, const std::string& dest, const std::string& framePicture,
                   const std::string& maskOption, const ComposeContext& ctx)
{
    const ScreenSize screen = ctx.screenSize();
    AlbumPicture shown = PrepareAlbumPicture(picture, FitInFrame, screen);

    // A BMP frame replaces the canvas with its own size and pixels (the picture is still placed
    // by the screen's size), so only a JPEG frame needs the screen-size canvas made first.
    Bitmap canvas = HasBmpExtension(framePicture) ? Bitmap() : Bitmap(screen.width, screen.height);
    PaintFramePicture(framePicture, canvas);

    const bool masked = ReadMaskOption(maskOption);
    if (!masked) {
        const FitValues& fit = shown.fit;
        FillRectangle(canvas, fit.offX - kFrameBorder, fit.offY - kFrameBorder, fit.offX + fit.width + kFrameBorder,
                      fit.offY + fit.height + kFrameBorder, kWhite);
    }
    DrawAlbumPicture(shown, masked, canvas, ctx);
    WriteBmpFile(canvas, dest);
    return true;
}

bool ConvertToBitmapFile(const std::string& source, const std::string& dest)
{
    if (HasBmpExtension(source)) {
        // The copy is checked: a missing copy must not be recorded as the user's wallpaper.
        CopyFile(source, dest);
        return true;
    }
    WriteBmpFile(DecodeJpegFile(source), dest);
    return true;
}

} // namespace palvina
