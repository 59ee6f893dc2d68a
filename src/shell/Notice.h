#pragma once

#include <functional>
#include <string>

namespace palvina {

// A message box with the text, one OK button and the caption and icon of its kind:
// 1 error "错误", 2 warning "警告", 3 information "提示". Any other kind shows nothing. Modal to
// the application; returns when the box is closed. From a thread other than the application's
// it is shown on the application's thread while the calling thread waits.
void ShowNotice(int kind, const std::string& text);

// Test use only: notices go to `handler` instead of a message box (an empty handler restores
// the message box). The handler is called for kinds 1 to 3 only.
void SetNoticeHandlerForTesting(std::function<void(int kind, const std::string& text)> handler);

} // namespace palvina
