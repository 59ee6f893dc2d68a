#include "CompanionXml.h"

namespace palvina::demo {

namespace {

void AppendEscaped(std::string& out, std::string_view text)
{
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c; break;
        }
    }
}

void AppendElement(std::string& out, std::string_view name, std::string_view text)
{
    out += "  <";
    out += name;
    out += '>';
    AppendEscaped(out, text);
    out += "</";
    out += name;
    out += ">\n";
}

} // namespace

std::string CompanionXml(std::string_view title, const std::vector<std::string>& lines, std::string_view link)
{
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<picture>\n";
    AppendElement(xml, "title", title);
    for (const std::string& line : lines) {
        AppendElement(xml, "text", line);
    }
    if (!link.empty()) {
        AppendElement(xml, "link", link);
    }
    xml += "</picture>\n";
    return xml;
}

} // namespace palvina::demo
