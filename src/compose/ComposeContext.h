#pragma once

#include <cstdint>
#include <functional>
#include <random>
#include <string>

namespace palvina {

struct ScreenSize {
    int width = 0;
    int height = 0;
};

// Reads the primary screen's size afresh at every call; the core itself needs no display.
using ScreenSizeProvider = std::function<ScreenSize()>;

// The player's one random number generator: random play order and mask choice share it, and
// every masked composition seeds it afresh from the clock. The clock is injectable for tests.
class RandomSource {
public:
    using Clock = std::function<std::uint32_t()>;
    RandomSource();  // seeded from the steady clock in milliseconds
    explicit RandomSource(Clock clock);

    void reseedFromClock();
    // A number from 0 to n - 1 (n >= 1).
    int below(int n);

private:
    Clock clock_;
    std::mt19937 engine_;
};

// What the composers need beside their arguments.
struct ComposeContext {
    ScreenSizeProvider screenSize;
    std::string maskFolder;          // program folder + "Images/Mask/"
    RandomSource* random = nullptr;  // for the mask choice; must be set for masked albums
};

} // namespace palvina
