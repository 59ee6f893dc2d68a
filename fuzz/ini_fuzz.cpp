// Feeds arbitrary bytes to the INI text parser as file content, together with arbitrary
// section, key and value names, and checks what must hold after a lookup, a write and an erase.
//
// Input layout: five length bytes (section, key, value, probe section, probe key), then those
// five texts in that order, then the file bytes.

#include "files/GbkText.h"
#include "files/IniText.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

using namespace palvina;

namespace {

void Check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

std::string_view Trim(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// A name as stored: trimmed, after a trip through GB18030.
std::string Stored(std::string_view text)
{
    return std::string(Trim(GbkToUtf8(Utf8ToGbk(text))));
}

bool SameName(std::string_view a, std::string_view b)
{
    const std::string x = Stored(a);
    const std::string y = Stored(b);
    const auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    return x.size() == y.size() &&
           std::equal(x.begin(), x.end(), y.begin(), [&](char p, char q) { return fold(p) == fold(q); });
}

std::size_t Utf8CharLength(std::string_view text)
{
    const auto lead = static_cast<unsigned char>(text.front());
    return lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
}

// The cut keeps whole characters, fits, and could not keep one more.
void CheckCut(std::string_view text, std::size_t maxBytes)
{
    const std::string clean = SanitizeUtf8(text);
    const std::string cut = CutToGbkBytes(text, maxBytes);
    Check(GbkLength(cut) <= maxBytes, "cut fits");
    Check(clean.compare(0, cut.size(), cut) == 0, "cut is a prefix");
    if (cut.size() < clean.size()) {
        const std::size_t next = Utf8CharLength(std::string_view(clean).substr(cut.size()));
        Check(GbkLength(clean.substr(0, cut.size() + next)) > maxBytes, "cut keeps all that fits");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 5) {
        return 0;
    }
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::size_t lengths[5];
    for (std::size_t& length : lengths) {
        length = static_cast<unsigned char>(input.front());
        input.remove_prefix(1);
    }
    std::string_view texts[5];
    for (int i = 0; i < 5; ++i) {
        const std::size_t length = std::min(lengths[i], input.size());
        texts[i] = input.substr(0, length);
        input.remove_prefix(length);
    }
    const std::string_view section = texts[0];
    const std::string_view key = texts[1];
    const std::string_view value = texts[2];
    const std::string_view probeSection = texts[3];
    const std::string_view probeKey = texts[4];
    const std::string_view file = input;

    // Conversions.
    Check(GbkToUtf8(Utf8ToGbk(value)) == SanitizeUtf8(value), "UTF-8 -> GB18030 -> UTF-8 keeps the text");
    CheckCut(value, static_cast<std::size_t>(lengths[0]) % 16);
    CheckCut(GbkToUtf8(file), lengths[1] * 4u);

    // Lookup: both read paths agree, and a value never exceeds the limit.
    const std::string read = IniText::Lookup(file, section, key);
    Check(read == IniText(file).value(section, key), "Lookup agrees with IniText::value");
    Check(GbkLength(read) <= IniText::kMaxValueBytes, "value within the limit");

    // Serialising is stable.
    IniText text(file);
    const std::string original = text.bytes();
    Check(IniText(original).bytes() == original, "bytes() is stable");

    // Write: the value reads back trimmed and cut; nothing else changes.
    const std::string probeBefore = text.value(probeSection, probeKey);
    const bool stored = text.setValue(section, key, value);
    const std::string expected =
        CutToGbkBytes(Trim(GbkToUtf8(Utf8ToGbk(value))), IniText::kMaxValueBytes);
    if (stored) {
        Check(text.value(section, key) == expected, "written value reads back");
        Check(IniText::Lookup(text.bytes(), section, key) == expected, "written value reads back from bytes");
        if (!SameName(section, probeSection) || !SameName(key, probeKey)) {
            Check(text.value(probeSection, probeKey) == probeBefore, "other values stay");
        }
    } else {
        Check(text.bytes() == original, "refused write changes nothing");
    }
    const std::string written = text.bytes();
    Check(IniText(written).bytes() == written, "bytes() is stable after a write");

    // Erase: the section is gone, other sections stay.
    const bool erased = text.eraseSection(probeSection);
    if (erased) {
        Check(text.value(probeSection, probeKey).empty(), "erased key is gone");
        Check(text.value(probeSection, key).empty(), "erased section is gone");
        if (stored && !SameName(section, probeSection)) {
            Check(text.value(section, key) == expected, "erase leaves other sections");
        }
    } else {
        Check(text.bytes() == written, "erase without a section with keys changes nothing");
    }
    return 0;
}
