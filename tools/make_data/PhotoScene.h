#pragma once

#include "compose/Bitmap.h"

#include <cstdint>

namespace palvina::synth {

// A landscape that compresses like a real photo: sky with clouds, hazy ridges, textured hills,
// trees and houses with hard edges, and sensor grain on every pixel. The scene is laid out
// relative to the size, the texture and grain are per pixel, so every size has the detail a
// camera of that resolution would record. Pure function of its arguments.
Bitmap PaintPhoto(int width, int height, std::uint32_t seed);

} // namespace palvina::synth
