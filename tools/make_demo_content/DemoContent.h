#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace palvina::demo {

// A colour cast laid over a painted photo: each component is multiplied by its gain, then
// `lift` (0..255) is added, so a channel's pictures share a mood.
struct Tint {
    float red = 1.0f;
    float green = 1.0f;
    float blue = 1.0f;
    int lift = 0;
};

// One picture of a channel and its companion file.
struct PicturePlan {
    std::string image;  // file name in the channel folder
    std::string xml;    // companion file name; empty for shared albums
    int width = 0;
    int height = 0;
    std::uint32_t seed = 0;
    bool mirrored = false;
    std::string title;
    std::vector<std::string> text;  // lines of the caption
    std::string link;               // optional
};

// A pictorial or wallpaper channel, or a shared album.
struct ChannelPlan {
    std::string name;       // catalogue name, or the shared album's title
    std::string thumbnail;  // thumbnail file name in Images/Class/; empty for shared albums
    std::uint32_t seed = 0; // the thumbnail's scene
    Tint tint;
    std::vector<PicturePlan> pictures;  // in play list order, entry 0 first
};

// Everything the demo tree holds, before anything is painted.
struct DemoPlan {
    std::vector<ChannelPlan> pictorial;  // catalogue section Illustrated
    std::vector<ChannelPlan> wallpaper;  // catalogue section Wallpaper
    std::vector<ChannelPlan> shared;     // PalvinaDown/Share/<n>/
};

// Pictorial pages are portrait (600..840 x 900..1000), wallpapers 1920 x 1080 except one
// advertisement page named "ad_..." in wallpaper channel 0, shared albums a mix of sizes below
// and above common screens. `small` keeps the channels and names but makes three pictures a
// channel (two an album), each an eighth of the size. `site` (ending in '/') is the demo
// server's root, used for companion links.
DemoPlan MakeDemoPlan(bool small, const std::string& site);

} // namespace palvina::demo
