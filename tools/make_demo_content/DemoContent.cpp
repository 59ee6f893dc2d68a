#include "DemoContent.h"

#include <array>
#include <cstddef>
#include <cstdio>
#include <span>

namespace palvina::demo {

namespace {

struct Size {
    int width;
    int height;
};

struct ChannelRecipe {
    const char* name;
    const char* thumbnail;
    Tint tint;
    int count;  // pictures in the full tree
};

// Seeds of the scenes per section, far enough apart that no two pictures share one.
constexpr std::uint32_t kPictorialSeeds = 1000;
constexpr std::uint32_t kWallpaperSeeds = 2000;
constexpr std::uint32_t kSharedSeeds = 3000;
constexpr std::uint32_t kThumbnailSeed = 99;

constexpr int kSmallDivisor = 8;
constexpr int kSmallCount = 3;
constexpr int kSmallSharedCount = 2;

constexpr std::array kPictorial{
    ChannelRecipe{"旅行画报", "illustrated0.jpg", {1.0f, 1.0f, 1.0f, 0}, 8},
    ChannelRecipe{"田园时光", "illustrated1.jpg", {1.08f, 1.0f, 0.88f, 4}, 6},
    ChannelRecipe{"秋色宜人", "illustrated2.jpg", {1.15f, 0.95f, 0.75f, 0}, 9},
    ChannelRecipe{"摄影月刊", "illustrated3.jpg", {1.05f, 0.97f, 0.85f, 10}, 5},
};

constexpr std::array kWallpaper{
    ChannelRecipe{"风景壁纸", "wallpaper0.jpg", {1.0f, 1.0f, 1.0f, 0}, 6},
    ChannelRecipe{"晨曦暮色", "wallpaper1.jpg", {1.12f, 0.92f, 0.9f, 6}, 5},
    ChannelRecipe{"四季山川", "wallpaper2.jpg", {0.9f, 1.0f, 1.12f, 0}, 5},
};

constexpr std::array kShared{
    ChannelRecipe{"家乡的春天", "", {0.95f, 1.08f, 0.92f, 0}, 4},
    ChannelRecipe{"海边假日", "", {0.9f, 0.98f, 1.15f, 8}, 3},
};

// Shared-album pictures: some smaller than a 1920 x 1080 screen (centred), some larger (stretched).
constexpr std::array<std::array<Size, 4>, 2> kSharedSizes{{
    {{{1024, 768}, {1920, 1080}, {2400, 1350}, {1600, 1200}}},
    {{{800, 600}, {1920, 1200}, {1366, 768}, {1280, 720}}},
}};

constexpr Size kWallpaperSize{1920, 1080};
constexpr Size kAdSize{640, 900};

// At least as many titles as the largest channel has pictures, so titles do not repeat within one.
constexpr std::array kTitles{
    "远山含黛", "晨雾初开", "溪畔人家", "松间小路", "云卷云舒", "夕照山岗",
    "草色青青", "炊烟袅袅", "林深见鹿", "山路弯弯", "晴空万里", "倦鸟归林",
};

constexpr std::array kDescriptions{
    "清晨的阳光越过山脊，给田野镀上一层金色。",
    "小路蜿蜒穿过草地，通向山脚下的几户人家。",
    "远处的山峦层层叠叠，在薄雾中若隐若现。",
    "微风吹过，草浪起伏，松林沙沙作响。",
    "白云从山顶缓缓飘过，投下移动的影子。",
    "傍晚时分，屋顶升起袅袅炊烟。",
    "雨后的空气格外清新，连远山都显得近了。",
    "站在山岗上望去，整个村庄尽收眼底。",
};

std::string Numbered(const char* pattern, int number)
{
    char name[32];
    std::snprintf(name, sizeof name, pattern, number);
    return name;
}

Size Scaled(Size size, bool small)
{
    return small ? Size{size.width / kSmallDivisor, size.height / kSmallDivisor} : size;
}

// Portrait pages from 600 x 900 to 840 x 1000, varied by channel and entry; always taller than
// wide, like a magazine page.
Size PageSize(std::size_t channel, int entry)
{
    const int c = static_cast<int>(channel);
    return {600 + 80 * ((c + entry) % 4), 900 + 50 * ((c * 2 + entry) % 3)};
}

// A line about the scene, then where the picture stands in its channel.
std::vector<std::string> DescribeEntry(const ChannelRecipe& recipe, std::size_t channel, int entry, int count)
{
    return {kDescriptions[(channel * 5 + static_cast<std::size_t>(entry) * 3) % kDescriptions.size()],
            std::string("《") + recipe.name + "》第" + std::to_string(entry + 1) + "张，共" + std::to_string(count) + "张"};
}

ChannelPlan StartChannel(const ChannelRecipe& recipe, std::uint32_t seed)
{
    ChannelPlan plan;
    plan.name = recipe.name;
    plan.thumbnail = recipe.thumbnail;
    plan.seed = seed + kThumbnailSeed;
    plan.tint = recipe.tint;
    return plan;
}

PicturePlan Entry(const char* stem, int entry, Size size, std::uint32_t seed)
{
    PicturePlan picture;
    picture.image = Numbered(stem, entry + 1) + ".jpg";
    picture.width = size.width;
    picture.height = size.height;
    picture.seed = seed;
    picture.mirrored = entry % 2 == 1;
    return picture;
}

void AddNetworkChannels(std::span<const ChannelRecipe> recipes, bool pictorial, bool small, const std::string& site,
                        std::vector<ChannelPlan>& channels)
{
    const std::uint32_t base = pictorial ? kPictorialSeeds : kWallpaperSeeds;
    for (std::size_t c = 0; c < recipes.size(); ++c) {
        const ChannelRecipe& recipe = recipes[c];
        const std::uint32_t seed = base + static_cast<std::uint32_t>(c) * 100;
        ChannelPlan plan = StartChannel(recipe, seed);
        const int count = small ? kSmallCount : recipe.count;
        // The advertisement page is the second picture wallpaper channel 0 plays (entries play
        // from the highest number down).
        const int adEntry = !pictorial && c == 0 ? count - 2 : -1;
        for (int e = 0; e < count; ++e) {
            const Size size = pictorial ? PageSize(c, e) : (e == adEntry ? kAdSize : kWallpaperSize);
            PicturePlan picture =
                Entry(pictorial ? "page%02d" : "wall%02d", e, Scaled(size, small), seed + static_cast<std::uint32_t>(e));
            picture.title = kTitles[(c * 7 + static_cast<std::size_t>(e)) % kTitles.size()];
            picture.text = DescribeEntry(recipe, c, e, count);
            if (pictorial && e % 3 == 0) {
                picture.link = site;
            }
            if (e == adEntry) {
                picture.image = "ad_kestova.jpg";
                picture.title = "Kestova桌面 · 精选推荐";
                picture.text = {"每天更新的精美画报与高清壁纸。", "点击“查看详情”访问我们的网站。"};
                picture.link = site;
            }
            picture.xml = picture.image.substr(0, picture.image.size() - 4) + ".xml";
            plan.pictures.push_back(std::move(picture));
        }
        channels.push_back(std::move(plan));
    }
}

void AddSharedAlbums(bool small, std::vector<ChannelPlan>& albums)
{
    for (std::size_t a = 0; a < kShared.size(); ++a) {
        const ChannelRecipe& recipe = kShared[a];
        const std::uint32_t seed = kSharedSeeds + static_cast<std::uint32_t>(a) * 100;
        ChannelPlan plan = StartChannel(recipe, seed);
        plan.thumbnail.clear();
        const int count = small ? kSmallSharedCount : recipe.count;
        for (int e = 0; e < count; ++e) {
            plan.pictures.push_back(
                Entry("photo%02d", e, Scaled(kSharedSizes.at(a).at(static_cast<std::size_t>(e)), small),
                      seed + static_cast<std::uint32_t>(e)));
        }
        albums.push_back(std::move(plan));
    }
}

} // namespace

DemoPlan MakeDemoPlan(bool small, const std::string& site)
{
    DemoPlan plan;
    AddNetworkChannels(kPictorial, true, small, site, plan.pictorial);
    AddNetworkChannels(kWallpaper, false, small, site, plan.wallpaper);
    AddSharedAlbums(small, plan.shared);
    return plan;
}

} // namespace palvina::demo
