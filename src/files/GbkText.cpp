#include "files/GbkText.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace palvina {

namespace {

constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";      // U+FFFD
constexpr std::string_view kReplacementGb18030 = "\x84\x31\xA4\x37"; // U+FFFD

bool IsAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Length of the well-formed UTF-8 sequence that starts at text[i], or 0 when the byte starts
// none (stray continuation byte, overlong form, surrogate, beyond U+10FFFF, cut short).
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        return 1;
    }
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) {
            low = 0xA0;
        } else if (lead == 0xED) {
            high = 0x9F;
        }
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) {
            low = 0x90;
        } else if (lead == 0xF4) {
            high = 0x8F;
        }
    } else {
        return 0;
    }
    if (text.size() - i < length || byte(1) < low || byte(1) > high) {
        return 0;
    }
    for (std::size_t k = 2; k < length; ++k) {
        if ((byte(k) & 0xC0) != 0x80) {
            return 0;
        }
    }
    return length;
}

// Length of the GB18030 character starting at text[i]; text is well-formed converter output.
std::size_t Gb18030CharLength(std::string_view text, std::size_t i)
{
    if (static_cast<unsigned char>(text[i]) < 0x80 || i + 1 >= text.size()) {
        return 1;
    }
    const auto second = static_cast<unsigned char>(text[i + 1]);
    return (second >= 0x30 && second <= 0x39) ? 4 : 2;
}

// One iconv descriptor, opened once per thread and direction.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter()
    {
        if (valid()) {
            iconv_close(cd_);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts `in`, appending to `out`. At a sequence the converter rejects, `replace` appends
    // a replacement and returns how many input bytes to skip (at least 1).
    template <typename Replace>
    void run(std::string_view in, std::string& out, Replace replace)
    {
        if (!valid()) {
            // No converter available: ASCII still passes, everything else is replaced.
            for (std::size_t i = 0; i < in.size();) {
                if (static_cast<unsigned char>(in[i]) < 0x80) {
                    out.push_back(in[i++]);
                } else {
                    i += replace(out, in.substr(i));
                }
            }
            return;
        }
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* inPtr = const_cast<char*>(in.data());
        std::size_t inLeft = in.size();
        while (inLeft > 0) {
            const std::size_t used = out.size();
            out.resize(used + inLeft * 4 + 16);
            char* outPtr = out.data() + used;
            std::size_t outLeft = out.size() - used;
            const std::size_t result = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
            const int error = errno;
            out.resize(static_cast<std::size_t>(outPtr - out.data()));
            if (result != static_cast<std::size_t>(-1) || error == E2BIG) {
                continue;
            }
            const std::size_t skip = std::min(inLeft, replace(out, std::string_view(inPtr, inLeft)));
            inPtr += skip;
            inLeft -= skip;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
    }

private:
    iconv_t cd_;
};

Converter& ToUtf8()
{
    thread_local Converter converter("UTF-8", "GB18030");
    return converter;
}

Converter& ToGb18030()
{
    thread_local Converter converter("GB18030", "UTF-8");
    return converter;
}

} // namespace

std::string GbkToUtf8(std::string_view gbk)
{
    if (IsAscii(gbk)) {
        return std::string(gbk);
    }
    std::string out;
    out.reserve(gbk.size() * 3 / 2 + 8);
    ToUtf8().run(gbk, out, [](std::string& o, std::string_view rest) {
        // Code page 936 as Windows writes it has the euro sign as the single byte 0x80.
        o.append(static_cast<unsigned char>(rest.front()) == 0x80 ? std::string_view("\xE2\x82\xAC")
                                                                  : kReplacementUtf8);
        return std::size_t{1};
    });
    return out;
}

std::string Utf8ToGbk(std::string_view utf8)
{
    if (IsAscii(utf8)) {
        return std::string(utf8);
    }
    std::string out;
    out.reserve(utf8.size() + 8);
    Converter& converter = ToGb18030();
    // Well-formed runs go through iconv; each invalid byte becomes U+FFFD. A character iconv
    // cannot map (none in practice: GB18030 covers Unicode) becomes '?', so the output keeps
    // one character per input character.
    std::size_t i = 0;
    while (i < utf8.size()) {
        std::size_t end = i;
        std::size_t length = 0;
        while (end < utf8.size() && (length = Utf8SequenceLength(utf8, end)) != 0) {
            end += length;
        }
        converter.run(utf8.substr(i, end - i), out, [](std::string& o, std::string_view rest) {
            o.push_back('?');
            return std::max<std::size_t>(1, Utf8SequenceLength(rest, 0));
        });
        if (end < utf8.size()) {
            out.append(kReplacementGb18030);
            ++end;
        }
        i = end;
    }
    return out;
}

namespace {

// Appends the character at byte i (U+FFFD for an invalid byte) and returns where the next starts.
std::size_t AppendUtf8Char(std::string_view utf8, std::size_t i, std::string& out)
{
    const std::size_t length = Utf8SequenceLength(utf8, i);
    if (length == 0) {
        out.append(kReplacementUtf8);
        return i + 1;
    }
    out.append(utf8.substr(i, length));
    return i + length;
}

} // namespace

std::string SanitizeUtf8(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        i = AppendUtf8Char(utf8, i, out);
    }
    return out;
}

std::size_t GbkLength(std::string_view utf8)
{
    return IsAscii(utf8) ? utf8.size() : Utf8ToGbk(utf8).size();
}

std::string CutToGbkBytes(std::string_view utf8, std::size_t maxBytes)
{
    if (IsAscii(utf8)) {
        return std::string(utf8.substr(0, std::min(maxBytes, utf8.size())));
    }
    const std::string gbk = Utf8ToGbk(utf8);
    // Count the GB18030 characters that fit, then take as many characters of the UTF-8 text:
    // the conversion maps one character to one character.
    std::size_t fitting = 0;
    std::size_t bytes = 0;
    while (bytes < gbk.size()) {
        const std::size_t length = Gb18030CharLength(gbk, bytes);
        if (bytes + length > maxBytes) {
            break;
        }
        bytes += length;
        ++fitting;
    }
    std::string out;
    out.reserve(bytes * 2);
    for (std::size_t i = 0; fitting > 0; --fitting) {
        i = AppendUtf8Char(utf8, i, out);
    }
    return out;
}

} // namespace palvina
