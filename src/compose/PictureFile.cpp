#include "compose/PictureFile.h"

#include "files/Errors.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace palvina {

namespace {

// Closes the descriptor on every way out.
struct FileDescriptor {
    int fd;
    ~FileDescriptor() { ::close(fd); }
};

[[noreturn]] void FailRead(const std::string& path, const char* reason)
{
    throw PictureError("Cannot read picture " + path + ": " + reason);
}

} // namespace

PictureBytes ReadPictureFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        FailRead(path, std::strerror(errno));
    }
    const FileDescriptor guard{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        FailRead(path, std::strerror(errno));
    }
    if (!S_ISREG(st.st_mode)) {
        FailRead(path, "not a regular file");
    }
    if (static_cast<std::uint64_t>(st.st_size) > kMaxPictureFileBytes) {
        FailRead(path, "file too large");
    }
    PictureBytes bytes;
    const auto expected = static_cast<std::size_t>(st.st_size);
    bytes.data = std::make_unique_for_overwrite<std::uint8_t[]>(expected > 0 ? expected : 1);
    // The file may shrink while we read it: keep what was actually read.
    while (bytes.size < expected) {
        const ssize_t n = ::read(fd, bytes.data.get() + bytes.size, expected - bytes.size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            FailRead(path, std::strerror(errno));
        }
        if (n == 0) {
            break;
        }
        bytes.size += static_cast<std::size_t>(n);
    }
    return bytes;
}

} // namespace palvina
