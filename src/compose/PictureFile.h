#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace palvina {

// The whole content of a picture file, read in one go for the BMP decoder.
struct PictureBytes {
    std::unique_ptr<std::uint8_t[]> data;
    std::size_t size = 0;
};

// Largest picture file we agree to read into memory.
inline constexpr std::size_t kMaxPictureFileBytes = std::size_t{1} << 30;

// A picture file open for reading, closed with the object. Opening throws PictureError naming
// the path when the file is missing, unreadable or not a regular file.
class PictureFile {
public:
    explicit PictureFile(const std::string& path);
    ~PictureFile();
    PictureFile(const PictureFile&) = delete;
    PictureFile& operator=(const PictureFile&) = delete;

    int fd() const { return fd_; }
    const std::string& path() const { return path_; }

    // The rest of the file; throws PictureError when it is larger than kMaxPictureFileBytes or
    // cannot be read.
    PictureBytes readAll();

private:
    [[noreturn]] void fail(const char* reason) const;

    std::string path_;
    int fd_ = -1;
    std::uint64_t size_ = 0;
};

// PictureFile(path).readAll().
PictureBytes ReadPictureFile(const std::string& path);

} // namespace palvina
