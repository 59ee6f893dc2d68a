#include "files/StrictNumber.h"

#include "files/Errors.h"

#include <cstdint>
#include <limits>
#include <string>

namespace palvina {

int ParseStrictInt(std::string_view text)
{
    const auto fail = [&]() { return ConvertError("'" + std::string(text) + "' is not a valid integer value"); };
    std::string_view digits = text;
    bool negative = false;
    if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
        negative = digits.front() == '-';
        digits.remove_prefix(1);
    }
    if (digits.empty()) {
        throw fail();
    }
    const std::int64_t limit = negative ? -static_cast<std::int64_t>(std::numeric_limits<int>::min())
                                        : std::numeric_limits<int>::max();
    std::int64_t value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') {
            throw fail();
        }
        value = value * 10 + (c - '0');
        if (value > limit) {
            throw fail();
        }
    }
    return static_cast<int>(negative ? -value : value);
}

} // namespace palvina
