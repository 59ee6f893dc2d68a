// palvina-make-demo: writes a demo content server tree (PalvinaDown/) that the player can fetch
// from a stock static web server on this machine. See docs/demo-server.md.
//
//   palvina-make-demo OUTPUT_DIR [--version VER] [--site URL] [--small]

#include "DemoOptions.h"
#include "DemoTree.h"

#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    using namespace palvina::demo;
    DemoOptions options;
    try {
        options = ParseDemoArguments(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::invalid_argument& e) {
        std::fprintf(stderr, "palvina-make-demo: %s\n%s", e.what(), kDemoUsage);
        return 2;
    }
    try {
        const DemoTreeSummary summary = WriteDemoTree(options);
        std::printf("%s: %zu files, %ju bytes\n", summary.root.c_str(), summary.files, summary.bytes);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "palvina-make-demo: %s\n", e.what());
        return 1;
    }
    return 0;
}
