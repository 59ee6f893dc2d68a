#include "player/UiPlayerLink.h"

#include "shell/Notice.h"
#include "shell/ShellOpen.h"
#include "shell/UiThreadCall.h"

#include <utility>

namespace palvina {

UiPlayerLink::UiPlayerLink(ProgressHandler onProgress) : onProgress_(std::move(onProgress)) {}

void UiPlayerLink::setCurrentChannel(int channelClass, int channelItem)
{
    currentClass_ = channelClass;
    currentItem_ = channelItem;
}

void UiPlayerLink::setClosing()
{
    closing_ = true;
}

int UiPlayerLink::currentClass() const
{
    return currentClass_;
}

int UiPlayerLink::currentItem() const
{
    return currentItem_;
}

bool UiPlayerLink::closing() const
{
    return closing_;
}

void UiPlayerLink::reportProgress(int channelKey, const DownloadProgress& progress)
{
    if (closing_ || !onProgress_) {
        return;
    }
    // The record lives on the sender's stack; the posted call keeps a copy of its own.
    CallOnUiThreadAndWait([handler = onProgress_, channelKey, copy = progress] { handler(channelKey, copy); },
                          &closing_);
}

void UiPlayerLink::showNotice(int kind, const std::string& text)
{
    if (closing_) {
        return;
    }
    CallOnUiThreadAndWait([kind, text] { ShowNotice(kind, text); }, &closing_);
}

void UiPlayerLink::openWithShell(const std::string& target)
{
    if (!closing_) {
        OpenWithShell(nullptr, target);
    }
}

} // namespace palvina
