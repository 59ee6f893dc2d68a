#pragma once

#include "DemoContent.h"
#include "compose/Bitmap.h"

#include <cstdint>

namespace palvina::demo {

inline constexpr int kThumbnailWidth = 128;
inline constexpr int kThumbnailHeight = 48;

// A photo-like landscape of the given size in the channel's tint, mirrored left to right when
// asked. Pure function of its arguments.
Bitmap PaintDemoPicture(int width, int height, std::uint32_t seed, const Tint& tint, bool mirrored);

// A channel thumbnail for the chooser: a wide scene painted at three times the size and smoothly
// shrunk, so it looks like a reduced photo rather than a noisy crop.
Bitmap PaintThumbnail(std::uint32_t seed, const Tint& tint);

} // namespace palvina::demo
