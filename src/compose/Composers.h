#pragma once

#include "compose/ComposeContext.h"

#include <string>

namespace palvina {

// Each composer writes one composed wallpaper (an uncompressed 24-bit BMP) to `dest` and returns
// true; it never returns false. When it cannot finish it throws (PictureError, ConvertError,
// FileWriteError) and `dest` is left as it was.

// Network pictorial pages and "ad_" pictures: own size, right edge on the screen's right edge,
// centred vertically on black; a picture at least the screen's size is saved as it is.
bool ComposePictorialPage(const std::string& picture, const std::string& dest, const ComposeContext& ctx);
// Network wallpapers: the whole picture smooth-stretched onto the whole screen.
bool ComposeStretched(const std::string& picture, const std::string& dest, const ComposeContext& ctx);
// Shared albums: smaller than the screen in either direction -> centred on black, else stretched.
bool ComposeCenteredOrStretched(const std::string& picture, const std::string& dest, const ComposeContext& ctx);

// Album pictures set into a frame picture near the top right corner.
bool ComposeFramed(const std::string& picture, const std::string& dest, const std::string& framePicture,
                   const std::string& maskOption, const ComposeContext& ctx);
// Album pictures centred (scaled down to fit) on a solid, gradient or tiled background. The
// option arguments are the play list's texts: nRadioTag, ColorSoild, ColorFrom, ColorTo,
// ComGradient, EdtPic, CheckMask.
bool ComposeOnBackground(const std::string& picture, const std::string& dest, const std::string& backgroundKind,
                         const std::string& solidColour, const std::string& gradientStart,
                         const std::string& gradientEnd, const std::string& bandDirection,
                         const std::string& tilePicture, const std::string& maskOption,
                         const ComposeContext& ctx);

// A BMP copy of a picture: a ".bmp" source is copied as it is (a failed copy throws
// FileWriteError), anything else is decoded as JPEG and saved as BMP.
bool ConvertToBitmapFile(const std::string& source, const std::string& dest);

} // namespace palvina
