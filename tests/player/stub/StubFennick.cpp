// A stand-in companion module for the binding's tests. It has "ShowForm" and "ReadImgAd" but no
// "CloseForm", and appends one line per call to the file named by PALVINA_STUB_FENNICK_LOG:
//   ShowForm <argument as hexadecimal address>
//   ReadImgAd <argument bytes in hexadecimal, or "null"> <bytes of the watched file in hex>
// The watched file (PALVINA_STUB_FENNICK_WATCH, optional) shows what the caller had written
// before the call. PALVINA_STUB_FENNICK_THROW=ShowForm makes "ShowForm" throw after recording.

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

#define STUB_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

std::string Hex(const char* data, std::size_t size)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (std::size_t i = 0; i < size; ++i) {
        const auto byte = static_cast<unsigned char>(data[i]);
        out.push_back(digits[byte >> 4]);
        out.push_back(digits[byte & 15]);
    }
    return out;
}

std::string WatchedFileHex()
{
    const char* path = std::getenv("PALVINA_STUB_FENNICK_WATCH");
    std::string bytes;
    if (FILE* file = path ? std::fopen(path, "rb") : nullptr) {
        char buffer[4096];
        std::size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
            bytes.append(buffer, n);
        }
        std::fclose(file);
    }
    return Hex(bytes.data(), bytes.size());
}

void Record(const std::string& line)
{
    const char* path = std::getenv("PALVINA_STUB_FENNICK_LOG");
    if (FILE* file = path ? std::fopen(path, "ab") : nullptr) {
        std::fputs((line + "\n").c_str(), file);
        std::fclose(file);
    }
}

} // namespace

STUB_EXPORT void ShowForm(void* application)
{
    char address[32];
    std::snprintf(address, sizeof address, "%" PRIxPTR, reinterpret_cast<std::uintptr_t>(application));
    Record(std::string("ShowForm ") + address);
    const char* fail = std::getenv("PALVINA_STUB_FENNICK_THROW");
    if (fail && std::strcmp(fail, "ShowForm") == 0) {
        throw std::runtime_error("ShowForm failed");
    }
}

STUB_EXPORT void ReadImgAd(const char* gbkPath)
{
    Record(std::string("ReadImgAd ") + (gbkPath ? Hex(gbkPath, std::strlen(gbkPath)) : "null") +
           " " + WatchedFileHex());
}
