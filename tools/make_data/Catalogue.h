#pragma once

#include "FloatImage.h"

#include <functional>
#include <string>
#include <vector>

namespace palvina::synth {

// One delivered picture: its file name without extension and how to paint it.
struct NamedPicture {
    std::string name;
    std::function<FloatImage()> paint;
};

// Mask pictures: gray, the blue component is the weight with which the album picture shows
// (255 all picture, 0 all background).
std::vector<NamedPicture> MaskPictures();
// Frame pictures: full-screen backdrops, kept calm near the top right where the album picture
// goes.
std::vector<NamedPicture> FramePictures();

} // namespace palvina::synth
