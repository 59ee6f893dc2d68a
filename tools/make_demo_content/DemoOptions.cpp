#include "DemoOptions.h"

#include <stdexcept>
#include <string_view>

namespace palvina::demo {

const char* const kDemoUsage =
    "usage: palvina-make-demo OUTPUT_DIR [--version VER] [--site URL] [--small]\n"
    "  --version VER  version in the update descriptor (default " PALVINA_DEMO_VERSION ", this build's)\n"
    "  --site URL     address of OUTPUT_DIR on the demo server, for the shared albums' WebSite\n"
    "                 (default http://127.0.0.1:8000/)\n"
    "  --small        few and small pictures, for tests\n"
    "Writes OUTPUT_DIR/PalvinaDown/, replacing an earlier tree there.\n";

namespace {

// Values end up on one line of an INI file.
bool IsOneLine(std::string_view text)
{
    for (const char c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            return false;
        }
    }
    return true;
}

bool IsHttpAddress(std::string_view text)
{
    for (const std::string_view scheme : {"http://", "https://"}) {
        if (text.starts_with(scheme) && text.size() > scheme.size()) {
            return true;
        }
    }
    return false;
}

} // namespace

DemoOptions ParseDemoArguments(const std::vector<std::string>& args)
{
    DemoOptions options;
    options.version = PALVINA_DEMO_VERSION;
    options.site = "http://127.0.0.1:8000/";
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--small") {
            options.small = true;
        } else if (arg == "--version" || arg == "--site") {
            if (i + 1 == args.size()) {
                throw std::invalid_argument(arg + " needs a value");
            }
            (arg == "--version" ? options.version : options.site) = args[++i];
        } else if (arg.starts_with('-')) {
            throw std::invalid_argument("unknown option " + arg);
        } else if (options.outputDir.empty()) {
            options.outputDir = arg;
        } else {
            throw std::invalid_argument("more than one output folder: " + arg);
        }
    }
    if (options.outputDir.empty()) {
        throw std::invalid_argument("no output folder given");
    }
    if (options.version.empty() || !IsOneLine(options.version)) {
        throw std::invalid_argument("the version must be a non-empty text on one line");
    }
    if (!IsHttpAddress(options.site) || !IsOneLine(options.site)) {
        throw std::invalid_argument("the site must be an http:// or https:// address");
    }
    if (!options.site.ends_with('/')) {
        options.site += '/';
    }
    return options;
}

} // namespace palvina::demo
