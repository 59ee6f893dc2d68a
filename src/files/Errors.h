#pragma once

#include <stdexcept>
#include <string>

namespace palvina {

// A file that could not be written: "Unable to write to <path>".
class FileWriteError : public std::runtime_error {
public:
    explicit FileWriteError(const std::string& path)
        : std::runtime_error("Unable to write to " + path), path_(path) {}
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// A text that should hold a number, a colour or a flag and does not.
class ConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A picture that cannot be opened or decoded (missing, damaged, unsupported, too large).
class PictureError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace palvina
