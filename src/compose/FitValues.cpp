#include "compose/FitValues.h"

#include <algorithm>
#include <cstdint>

namespace palvina {

namespace {

// a * b / c with the product taken first and the quotient truncated; never below 1, so that an
// extremely long and thin picture still shows as a line instead of vanishing (or dividing by 0).
int ScaleSide(int a, int b, int c)
{
    const std::int64_t value = static_cast<std::int64_t>(a) * b / c;
    return static_cast<int>(std::clamp<std::int64_t>(value, 1, INT32_MAX));
}

} // namespace

FitValues FitOnBackground(int pictureWidth, int pictureHeight, int screenWidth, int screenHeight)
{
    FitValues fit{pictureWidth, pictureHeight, (screenWidth - pictureWidth) / 2,
                  (screenHeight - pictureHeight) / 2};
    if (pictureWidth > screenWidth || pictureHeight > screenHeight) {
        fit.width = screenWidth;
        fit.height = ScaleSide(pictureHeight, screenWidth, pictureWidth);
        // Compared with the screen's width, not its height: nearly square pictures whose scaled
        // height stays within the width are fitted to the width and overflow the height.
        if (fit.height > screenWidth) {
            fit.height = screenHeight;
            fit.width = ScaleSide(pictureWidth, screenHeight, pictureHeight);
            fit.offX = (screenWidth - fit.width) / 2;
            fit.offY = 0;
        } else {
            fit.offX = 0;
            fit.offY = (screenHeight - fit.height) / 2;
        }
    }
    return fit;
}

FitValues FitInFrame(int pictureWidth, int pictureHeight, int screenWidth, int screenHeight)
{
    FitValues fit{pictureWidth, pictureHeight, 0, 100};
    if (screenWidth - 100 - fit.width < 100) {
        fit.width = std::max(screenWidth - 400, 1);
        fit.height = ScaleSide(pictureHeight, fit.width, pictureWidth);
    }
    if (screenHeight - 100 - fit.height < 100) {
        const int height = std::max(screenHeight - 200, 1);
        fit.width = ScaleSide(height, fit.width, fit.height);
        fit.height = height;
    }
    fit.offX = screenWidth - 100 - fit.width;
    return fit;
}

} // namespace palvina
