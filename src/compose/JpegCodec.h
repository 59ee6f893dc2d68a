#pragma once

#include "compose/Bitmap.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace palvina {

class RowSink;

struct PictureSize {
    int width = 0;
    int height = 0;
};

// All decoders return 24-bit BGR whatever the JPEG's colour space (grayscale, RGB, YCbCr, CMYK,
// YCCK) and throw PictureError for a missing, damaged or oversized file; they never end the
// process.

// The size of the JPEG picture, from its header only, as declared (even when it is too large for
// the decoders); throws PictureError when there is no readable header.
PictureSize ReadJpegSize(const std::string& path);
PictureSize ReadJpegMemorySize(const std::uint8_t* data, std::size_t size);

// Decodes to a bitmap; with minWidth/minHeight > 0 at the reduced size the rows functions below
// would choose.
Bitmap DecodeJpegFile(const std::string& path, int minWidth = 0, int minHeight = 0);
Bitmap DecodeJpegMemory(const std::uint8_t* data, std::size_t size);

// Streams the picture into `sink`. When minWidth/minHeight are given (> 0), the decoder uses the
// largest DCT reduction (1/2, 1/4 or 1/8) that keeps the decoded size at least minWidth x
// minHeight, so a large photo meant for a screen-size result decodes quickly and in little memory;
// a picture smaller than that is decoded at its full size (never enlarged). Pass 0, 0 for the
// full size. The file is read in blocks, never held whole. An exception thrown by the sink comes
// out unchanged.
void DecodeJpegFileRows(const std::string& path, int minWidth, int minHeight, RowSink& sink);
void DecodeJpegMemoryRows(const std::uint8_t* data, std::size_t size, int minWidth, int minHeight,
                          RowSink& sink);

// Writes the picture as a baseline JPEG (quality 1..100, 4:2:0 chroma), replacing the file
// atomically (not flushed to the disk first). Throws FileWriteError when the file cannot be
// written, PictureError for an empty bitmap.
void EncodeJpegFile(const Bitmap& bitmap, const std::string& path, int quality = 90);

} // namespace palvina
