#pragma once

#include <string>
#include <string_view>

namespace palvina {

// Replaces a file so that a reader sees either the old or the new content, never a mix: the
// bytes go to a temporary file in the same folder and commit() renames it over the target.
// An existing file keeps its permissions; a symbolic link is written through. Every failure
// (missing folder, read-only file, full disk) throws FileWriteError ("Unable to write to
// <path>") and leaves the target as it was; a writer destroyed without commit() removes its
// temporary file.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(const std::string& path);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    void write(const void* data, std::size_t size);
    void write(std::string_view bytes) { write(bytes.data(), bytes.size()); }
    // flush: also push the data to the disk before the rename. The rename alone already keeps
    // readers and crashed writers from seeing half a file; flushing only adds power-loss
    // durability, at several milliseconds a file.
    void commit(bool flush = false);

private:
    void fail();

    std::string path_;
    std::string target_;
    std::string temp_;
    int fd_ = -1;
};

// Writes a whole file through AtomicFileWriter. Settings files are written key by key (an album
// save writes hundreds of keys), so they are not flushed.
void WriteFileAtomically(const std::string& path, std::string_view bytes, bool flush = false);

// Reads a whole file; returns false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& bytes);

} // namespace palvina
