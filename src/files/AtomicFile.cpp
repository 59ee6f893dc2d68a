#include "files/AtomicFile.h"

#include "files/Errors.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace palvina {

namespace {

// Writing through a symbolic link replaces the file it points to, not the link.
std::string ResolveTarget(const std::string& path)
{
    char resolved[PATH_MAX];
    struct stat st {};
    if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode) && realpath(path.c_str(), resolved)) {
        return resolved;
    }
    return path;
}

} // namespace

AtomicFileWriter::AtomicFileWriter(const std::string& path)
    : path_(path), target_(ResolveTarget(path))
{
    mode_t mode = 0;
    struct stat st {};
    if (stat(target_.c_str(), &st) == 0) {
        // A file without any write permission is read-only for everyone, root included.
        if (!S_ISREG(st.st_mode) || (st.st_mode & 0222) == 0 || access(target_.c_str(), W_OK) != 0) {
            throw FileWriteError(path_);
        }
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }
    temp_ = target_ + ".XXXXXX";
    fd_ = mkstemp(temp_.data());
    if (fd_ < 0) {
        throw FileWriteError(path_);
    }
    if (fchmod(fd_, mode) != 0) {
        fail();
    }
}

AtomicFileWriter::~AtomicFileWriter()
{
    if (fd_ >= 0) {
        ::close(fd_);
        ::unlink(temp_.c_str());
    }
}

void AtomicFileWriter::fail()
{
    ::close(fd_);
    fd_ = -1;
    ::unlink(temp_.c_str());
    throw FileWriteError(path_);
}

void AtomicFileWriter::write(const void* data, std::size_t size)
{
    if (fd_ < 0) {
        throw FileWriteError(path_);
    }
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd_, p, size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            fail();
        }
        p += n;
        size -= static_cast<std::size_t>(n);
    }
}

void AtomicFileWriter::commit(bool flush)
{
    if (fd_ < 0) {
        throw FileWriteError(path_);
    }
    if (flush && fdatasync(fd_) != 0) {
        fail();
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 || std::rename(temp_.c_str(), target_.c_str()) != 0) {
        ::unlink(temp_.c_str());
        throw FileWriteError(path_);
    }
}

void WriteFileAtomically(const std::string& path, std::string_view bytes, bool flush)
{
    AtomicFileWriter writer(path);
    writer.write(bytes);
    writer.commit(flush);
}

bool ReadWholeFile(const std::string& path, std::string& bytes)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        return false;
    }
    bytes.clear();
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
        bytes.append(buffer, n);
    }
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

} // namespace palvina
