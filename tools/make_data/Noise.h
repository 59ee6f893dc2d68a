#pragma once

#include <cstdint>

namespace palvina::synth {

// Smooth 2-D value noise on an integer lattice: every lattice point gets a value from a hash of its
// coordinates and the seed, and points between are blended with a quintic fade. Pure function of
// (seed, x, y), so pictures made with it are the same on every machine.
class ValueNoise {
public:
    explicit ValueNoise(std::uint32_t seed) : seed_(seed) {}

    // A value in [0, 1].
    float at(float x, float y) const;
    // Fractal sum of `octaves` layers, each twice the frequency and `gain` times the amplitude of
    // the one before, rotated a little to hide the lattice; normalised to [0, 1].
    float fbm(float x, float y, int octaves, float gain = 0.5f) const;

private:
    float lattice(std::int32_t ix, std::int32_t iy) const;

    std::uint32_t seed_;
};

// A well-mixed 32-bit hash of a few integers; the building block of the noise and of every
// "random" choice the generators make.
std::uint32_t Hash32(std::uint32_t a, std::uint32_t b = 0, std::uint32_t c = 0);
// Hash32 mapped to [0, 1).
float HashUnit(std::uint32_t a, std::uint32_t b = 0, std::uint32_t c = 0);

} // namespace palvina::synth
