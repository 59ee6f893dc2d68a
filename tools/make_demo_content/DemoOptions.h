#pragma once

#include <string>
#include <vector>

namespace palvina::demo {

// What palvina-make-demo was asked to write.
struct DemoOptions {
    std::string outputDir;  // the folder that receives PalvinaDown/
    std::string version;    // [Update] Ver of the update descriptor
    std::string site;       // address of the demo server's root, ending in '/'
    bool small = false;     // few, tiny pictures (for tests)
};

// The usage text printed with every argument error.
extern const char* const kDemoUsage;

// Reads the command line (without the program name). Throws std::invalid_argument with a short
// message for an unknown option, a missing or extra value, or a value that cannot be stored.
DemoOptions ParseDemoArguments(const std::vector<std::string>& args);

} // namespace palvina::demo
