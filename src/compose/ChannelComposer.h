#pragma once

#include "compose/ComposeContext.h"

#include <string>

namespace palvina {

// Composes one picture of a channel into `dest` with the composer its channel class calls for:
//   0 pictorial page; 1 pictorial page when the lower-cased file name contains "ad_", else
//   stretched; 2 album: framed or on its background, with the options of the play list
//   `playList`; 3 centred or stretched.
// Returns false for an unknown class (nothing is composed); composer errors propagate.
bool ComposeChannelPicture(int channelClass, const std::string& picture, const std::string& playList,
                           const std::string& dest, const ComposeContext& ctx);

// True when a network wallpaper is shown as a pictorial page: its file name, without folder and
// lower-cased, contains "ad_" anywhere.
bool IsAdvertisementPicture(const std::string& picture);

} // namespace palvina
