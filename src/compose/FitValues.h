#pragma once

namespace palvina {

// Where an album picture goes on a screen-size canvas: its shown size and the canvas position
// of its top-left corner (which may be negative: the parts outside the canvas are cut off).
struct FitValues {
    int width = 0;
    int height = 0;
    int offX = 0;
    int offY = 0;
};

// Centred on a background: a picture that fits the screen keeps its size; a larger one is scaled
// to the screen's width, or to its height when the scaled height exceeds the screen's width.
// Products are taken before the truncating division, halves round toward zero.
FitValues FitOnBackground(int pictureWidth, int pictureHeight, int screenWidth, int screenHeight);

// Set into a frame picture: 100 pixels from the screen's right and top edges, scaled down so that
// at least 100 pixels remain to its left and below it.
FitValues FitInFrame(int pictureWidth, int pictureHeight, int screenWidth, int screenHeight);

} // namespace palvina
