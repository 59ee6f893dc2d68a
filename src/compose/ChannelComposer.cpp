#include "compose/ChannelComposer.h"

#include "compose/Composers.h"
#include "files/AsciiCase.h"
#include "files/IniFile.h"

namespace palvina {

bool IsAdvertisementPicture(const std::string& picture)
{
    return AsciiLower(picture.substr(picture.find_last_of('/') + 1)).find("ad_") != std::string::npos;
}

bool ComposeChannelPicture(int channelClass, const std::string& picture, const std::string& playList,
                           const std::string& dest, const ComposeContext& ctx)
{
    switch (channelClass) {
    case 0:
        return ComposePictorialPage(picture, dest, ctx);
    case 1:
        return IsAdvertisementPicture(picture) ? ComposePictorialPage(picture, dest, ctx)
                                               : ComposeStretched(picture, dest, ctx);
    case 2: {
        const auto blk = [&](const char* key) { return ReadIniValue("BlkOption", key, playList); };
        const auto set = [&](const char* key) { return ReadIniValue("PicSet", key, playList); };
        const std::string frame = set("sIfrmaeImgFile");
        const std::string mask = set("CheckMask");
        // Any non-empty IsFrame counts, as long as a frame picture is named.
        if (!set("IsFrame").empty() && !frame.empty()) {
            return ComposeFramed(picture, dest, frame, mask, ctx);
        }
        return ComposeOnBackground(picture, dest, blk("nRadioTag"), blk("ColorSoild"), blk("ColorFrom"),
                                   blk("ColorTo"), blk("ComGradient"), blk("EdtPic"), mask, ctx);
    }
    case 3:
        return ComposeCenteredOrStretched(picture, dest, ctx);
    default:
        return false;
    }
}

} // namespace palvina
