#include "files/IniFile.h"

#include "files/AtomicFile.h"
#include "files/Errors.h"
#include "files/IniText.h"

#include <mutex>
#include <sys/stat.h>

namespace palvina {

namespace {

// One lock for every read-modify-write cycle of the process.
std::mutex& WriteMutex()
{
    static std::mutex mutex;
    return mutex;
}

// The file's current text for an edit: empty when it does not exist yet. A file that exists
// but cannot be read is not overwritten as if it were empty.
IniText LoadForEdit(const std::string& file)
{
    std::string bytes;
    if (!ReadWholeFile(file, bytes)) {
        struct stat st {};
        if (stat(file.c_str(), &st) == 0) {
            throw FileWriteError(file);
        }
        bytes.clear();
    }
    return IniText(bytes);
}

} // namespace

std::string ReadIniValue(std::string_view section, std::string_view key, const std::string& file)
{
    std::string bytes;
    if (!ReadWholeFile(file, bytes)) {
        return {};
    }
    return IniText::Lookup(bytes, section, key);
}

void WriteIniValue(std::string_view section, std::string_view key, std::string_view value, const std::string& file)
{
    std::lock_guard lock(WriteMutex());
    IniText text = LoadForEdit(file);
    if (!text.setValue(section, key, value)) {
        throw FileWriteError(file);
    }
    WriteFileAtomically(file, text.bytes());
}

void EraseIniSection(std::string_view section, const std::string& file)
{
    std::lock_guard lock(WriteMutex());
    struct stat st {};
    if (stat(file.c_str(), &st) != 0) {
        return;
    }
    IniText text = LoadForEdit(file);
    if (text.eraseSection(section)) {
        WriteFileAtomically(file, text.bytes());
    }
}

} // namespace palvina
