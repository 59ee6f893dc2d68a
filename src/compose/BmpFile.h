#pragma once

#include "compose/Bitmap.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace palvina {

// Windows bitmap files: reads 1, 4, 8, 16, 24 and 32 bits per pixel, BI_RGB, BI_BITFIELDS,
// BI_RLE4 and BI_RLE8, bottom-up and top-down, with palettes; the result is 24-bit BGR.
// Throws PictureError for a missing, damaged, unsupported or oversized file.
Bitmap ReadBmpFile(const std::string& path);
Bitmap DecodeBmp(const std::uint8_t* data, std::size_t size);

// Writes an uncompressed 24-bit bottom-up BMP (BITMAPINFOHEADER), replacing the file
// atomically; throws FileWriteError when the file cannot be written. `flush` as in
// AtomicFileWriter::commit.
void WriteBmpFile(const Bitmap& bitmap, const std::string& path, bool flush = false);

} // namespace palvina
