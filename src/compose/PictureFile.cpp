#include "compose/PictureFile.h"

#include "files/Errors.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace palvina {

PictureFile::PictureFile(const std::string& path)
    : path_(path), fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC))
{
    if (fd_ < 0) {
        fail(std::strerror(errno));
    }
    struct stat st {};
    if (::fstat(fd_, &st) != 0) {
        const int error = errno;
        ::close(fd_);
        fail(std::strerror(error));
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd_);
        fail("not a regular file");
    }
    size_ = static_cast<std::uint64_t>(st.st_size);
}

PictureFile::~PictureFile()
{
    ::close(fd_);
}

void PictureFile::fail(const char* reason) const
{
    throw PictureError("Cannot read picture " + path_ + ": " + reason);
}

PictureBytes PictureFile::readAll()
{
    if (size_ > kMaxPictureFileBytes) {
        fail("file too large");
    }
    PictureBytes bytes;
    const auto expected = static_cast<std::size_t>(size_);
    bytes.data = std::make_unique_for_overwrite<std::uint8_t[]>(expected > 0 ? expected : 1);
    // The file may shrink while we read it: keep what was actually read.
    while (bytes.size < expected) {
        const ssize_t n = ::read(fd_, bytes.data.get() + bytes.size, expected - bytes.size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            fail(std::strerror(errno));
        }
        if (n == 0) {
            break;
        }
        bytes.size += static_cast<std::size_t>(n);
    }
    return bytes;
}

PictureBytes ReadPictureFile(const std::string& path)
{
    return PictureFile(path).readAll();
}

} // namespace palvina
