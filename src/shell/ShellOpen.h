#pragma once

#include <string>

class QUrl;
class QWidget;

namespace palvina {

// Opens the target with the desktop's default handler: a web address (anything that starts
// with a scheme such as "http:") as it is, a path as a file. A program file (an executable
// binary or script) is started instead, without arguments, as the Windows "Open" verb does.
// The result is not checked. Callable from any thread: the opening itself is done on the UI
// thread (the caller waits for it, not for the opened program). `owner` may be null.
void OpenWithShell(QWidget* owner, const std::string& target);

// Shows the file selected in its folder in the file manager, through the session bus's
// org.freedesktop.FileManager1 service; when there is none or it fails, opens the file's
// folder with OpenWithShell. The result is not checked.
void RevealInExplorer(const std::string& path);

// The URL OpenWithShell hands to the desktop for `target`: a web address unchanged, a path as
// a file URL (made absolute against the working folder).
QUrl ShellTargetUrl(const std::string& target);

} // namespace palvina
