#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace palvina {

// The text of one INI-format file, edited in memory. The bytes are GB18030 as on disk; names
// and values are UTF-8. A line whose first non-blank character is '[' opens a section, named
// by the text up to the last ']' (or to the line end); a line with '=' inside a section holds
// a key and its value. Section and key names are compared without regard to ASCII letter case
// and without their surrounding blanks; the first matching section, and the first matching
// key in it, count. Lines that an edit does not touch keep their bytes; every line is written
// back with a CR LF ending (LF alone is accepted on reading).
class IniText {
public:
    // Longest value returned, in bytes of its GB18030 form.
    static constexpr std::size_t kMaxValueBytes = 2047;

    IniText() = default;
    explicit IniText(std::string_view bytes);

    // The text after the key's first '=' without surrounding blanks, cut to kMaxValueBytes
    // (a character the cut would split is dropped); empty when the section or key is missing.
    std::string value(std::string_view section, std::string_view key) const;

    // Replaces the value of the first matching key of the first matching section, or adds the
    // key after the last key line of that section, or adds the section with the key at the end.
    // Returns false, changing nothing, when the names or the value cannot be stored in this
    // format: a line break anywhere, '=' in the key, or a key starting with '['.
    bool setValue(std::string_view section, std::string_view key, std::string_view value);

    // Removes the section (header, keys and the other lines up to the next section) when it
    // exists and its first occurrence holds at least one key; later sections of the same name
    // go too, so nothing of it stays readable. Returns whether anything was removed.
    bool eraseSection(std::string_view section);

    // The file's bytes: every line followed by CR LF.
    std::string bytes() const;

    // Reads one value straight from file bytes, without building an IniText.
    static std::string Lookup(std::string_view bytes, std::string_view section, std::string_view key);

private:
    std::vector<std::string> lines_;
};

} // namespace palvina
