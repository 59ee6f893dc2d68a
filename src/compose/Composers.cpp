#include "compose/Composers.h"

#include "compose/BmpFile.h"
#include "compose/Fills.h"
#include "compose/FitValues.h"
#include "compose/FramePicture.h"
#include "compose/JpegCodec.h"
#include "compose/MaskBlend.h"
#include "compose/MaskOption.h"
#include "compose/PictureLoad.h"
#include "compose/PlaceSink.h"
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

// Plain-copies a JPEG picture at its own size onto the canvas at (x, y) while decoding it.
void PlaceJpeg(const std::string& path, Bitmap& canvas, int x, int y)
{
    PlaceSink sink(canvas, x, y);
    DecodeJpegFileRows(path, 0, 0, sink);
    if (!sink.finished()) {
        throw PictureError("Unable to decode the whole picture " + path);
    }
}

// The album picture at the size the fit rule gives it for the screen, and where it goes.
Bitmap LoadAlbumPicture(const std::string& path, FitRule fitRule, const ScreenSize& screen, FitValues& fit)
{
    if (HasBmpExtension(path)) {
        // A BMP put into an album folder by hand is composed like a decoded JPEG picture.
        Bitmap original = ReadBmpFile(path);
        fit = fitRule(original.width(), original.height(), screen.width, screen.height);
        if (fit.width == original.width() && fit.height == original.height()) {
            return original;
        }
        Bitmap scaled(fit.width, fit.height);
        SmoothStretch(original, scaled);
        return scaled;
    }
    const PictureSize size = ReadJpegSize(path);
    fit = fitRule(size.width, size.height, screen.width, screen.height);
    return LoadJpegStretched(path, fit.width, fit.height);
}

// Sets the album picture onto the canvas: through a random mask, or plainly.
void SetAlbumPicture(const Bitmap& picture, const FitValues& fit, bool masked, Bitmap& canvas,
                     const ComposeContext& ctx)
{
    if (!masked) {
        PlainCopy(picture, canvas, fit.offX, fit.offY);
        return;
    }
    std::unique_ptr<RandomSource> ownRandom;
    if (!ctx.random) {
        ownRandom = std::make_unique<RandomSource>();
    }
    RandomSource& random = ctx.random ? *ctx.random : *ownRandom;
    const Bitmap mask = LoadRandomMask(ctx.maskFolder, random, picture.width(), picture.height());
    // Blending in place gives what copying the canvas area out, blending and copying it back does.
    BlendOnto(picture, mask, canvas, fit.offX, fit.offY);
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
    PlaceJpeg(picture, canvas, screen.width - size.width, (screen.height - size.height) / 2);
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
        PlaceJpeg(picture, canvas, (screen.width - size.width) / 2, (screen.height - size.height) / 2);
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
    FitValues fit;
    const Bitmap shown = LoadAlbumPicture(picture, FitOnBackground, screen, fit);

    Bitmap canvas(screen.width, screen.height);
    // Only the texts the chosen kind uses are read; any other kind leaves the canvas black.
    if (backgroundKind == "0") {
        FillSolid(canvas, TextToColor(solidColour));
    } else if (backgroundKind == "1") {
        FillGradient(canvas, ParseStrictInt(bandDirection), TextToColor(gradientEnd),
                     TextToColor(gradientStart));
    } else if (backgroundKind == "2") {
        FillTiled(canvas, tilePicture);
    }

    SetAlbumPicture(shown, fit, ReadMaskOption(maskOption), canvas, ctx);
    WriteBmpFile(canvas, dest);
    return true;
}

bool ComposeFramed(const std::string& picture, const std::string& dest, const std::string& framePicture,
                   const std::string& maskOption, const ComposeContext& ctx)
{
    const ScreenSize screen = ctx.screenSize();
    FitValues fit;
    const Bitmap shown = LoadAlbumPicture(picture, FitInFrame, screen, fit);

    Bitmap canvas(screen.width, screen.height);
    PaintFramePicture(framePicture, canvas);

    const bool masked = ReadMaskOption(maskOption);
    if (!masked) {
        FillRectangle(canvas, fit.offX - kFrameBorder, fit.offY - kFrameBorder, fit.offX + fit.width + kFrameBorder,
                      fit.offY + fit.height + kFrameBorder, kWhite);
    }
    SetAlbumPicture(shown, fit, masked, canvas, ctx);
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
