#include "compose/ComposeContext.h"

#include <chrono>

namespace palvina {

namespace {

std::uint32_t SteadyClockMilliseconds()
{
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

} // namespace

RandomSource::RandomSource()
    : RandomSource(SteadyClockMilliseconds)
{
}

RandomSource::RandomSource(Clock clock)
    : clock_(std::move(clock)), engine_(clock_())
{
}

void RandomSource::reseedFromClock()
{
    engine_.seed(clock_());
}

int RandomSource::below(int n)
{
    if (n <= 1) {
        return 0;
    }
    return std::uniform_int_distribution<int>(0, n - 1)(engine_);
}

} // namespace palvina
