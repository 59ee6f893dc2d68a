#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace palvina {

// The whole content of a picture file, read in one go for the decoders.
struct PictureBytes {
    std::unique_ptr<std::uint8_t[]> data;
    std::size_t size = 0;
};

// Largest picture file we agree to read into memory.
inline constexpr std::size_t kMaxPictureFileBytes = std::size_t{1} << 30;

// Reads the file; throws PictureError naming the path when it is missing, unreadable, not a
// regular file or larger than kMaxPictureFileBytes.
PictureBytes ReadPictureFile(const std::string& path);

} // namespace palvina
