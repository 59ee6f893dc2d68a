#pragma once

#include "compose/Bitmap.h"
#include "compose/ComposeContext.h"
#include "compose/ComposeTestPictures.h"
#include "files/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace palvina::test {

// A temporary program folder with an "Images/Mask/" folder and a fixed screen size.
class ComposeTest : public ::testing::Test {
protected:
    void SetScreen(int width, int height)
    {
        screen_ = {width, height};
        ctx_.screenSize = [this] { return screen_; };
        ctx_.maskFolder = folder_.file("Images/Mask/");
        ctx_.random = &random_;
        std::filesystem::create_directories(ctx_.maskFolder);
    }

    std::string File(const std::string& name) const { return folder_.file(name); }

    // The destination already holds a file, so that a failure can be seen to leave it alone.
    std::string OldDestination()
    {
        const std::string dest = File("Palvina.bmp");
        WriteBytes(dest, kOldContent);
        return dest;
    }
    bool DestinationUntouched() const { return ReadBytes(File("Palvina.bmp")) == kOldContent; }

    static constexpr const char* kOldContent = "the previous composed wallpaper";

    TempFolder folder_;
    ScreenSize screen_;
    RandomSource random_{[] { return 42u; }};
    ComposeContext ctx_;
};

// The colour a canvas should have at (x, y) when `picture` was plain-copied to (offX, offY) onto a
// background whose colour there is `background`.
inline std::uint32_t PlacedColour(const Bitmap& picture, int offX, int offY, int x, int y, std::uint32_t background)
{
    const int px = x - offX;
    const int py = y - offY;
    if (px >= 0 && py >= 0 && px < picture.width() && py < picture.height()) {
        return picture.pixel(px, py);
    }
    return background;
}

} // namespace palvina::test
