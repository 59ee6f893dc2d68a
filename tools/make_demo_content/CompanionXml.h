#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace palvina::demo {

// The companion file of one picture, UTF-8 with an XML declaration:
//   <picture><title>...</title><text>...</text>...<link>...</link></picture>
// with one text element per line. The link element is left out when `link` is empty. Markup
// characters in the texts are escaped.
std::string CompanionXml(std::string_view title, const std::vector<std::string>& lines, std::string_view link);

} // namespace palvina::demo
