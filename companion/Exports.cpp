// The entry points the player looks up by name. Each one does nothing unless a QApplication
// exists and the call comes from its thread, and none lets an exception out.

#include "CaptionContent.h"
#include "CaptionWindow.h"

#include "files/GbkText.h"

#include <QApplication>
#include <QThread>
#include <QWidget>

#include <cstring>
#include <string>

#define FENNICK_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

bool CanUseWidgets()
{
    const QCoreApplication* app = QCoreApplication::instance();
    return app && qobject_cast<const QApplication*>(app) && QThread::currentThread() == app->thread();
}

// Called when the module is unloaded: a window the host did not close would otherwise keep
// pointers into the unloaded code (its style sheet, its link handler).
__attribute__((destructor)) void CloseLeftoverWindows()
{
    try {
        if (CanUseWidgets()) {
            palvina::DeleteCaptionWindows();
        }
    } catch (...) {
    }
}

} // namespace

// Prepares the caption window, hidden until a companion file gives it something to show. There
// is one application object in a process, so the argument (the player's QApplication, or null)
// is not needed: the module uses the running QApplication. A window that already exists is kept.
FENNICK_EXPORT void ShowForm(void* /*application*/)
{
    try {
        if (CanUseWidgets() && !palvina::FindCaptionWindow()) {
            palvina::CreateCaptionWindow();
        }
    } catch (...) {
    }
}

// Closes and deletes the caption window; nothing happens when there is none.
FENNICK_EXPORT void CloseForm(void)
{
    try {
        if (CanUseWidgets()) {
            palvina::DeleteCaptionWindows();
        }
    } catch (...) {
    }
}

// Shows the companion file of the picture just applied: the path is zero-terminated GB18030
// text. A null or empty path, or a missing, unreadable or malformed file hides the window, since
// the previous caption belongs to another picture. Before ShowForm (or after CloseForm) there is
// no window and the call is ignored.
FENNICK_EXPORT void ReadImgAd(const char* gbkPath)
{
    try {
        if (!CanUseWidgets()) {
            return;
        }
        QWidget* window = palvina::FindCaptionWindow();
        if (!window) {
            return;
        }
        if (!gbkPath || !*gbkPath) {
            palvina::HideCaption(window);
            return;
        }
        const std::string utf8 = palvina::GbkToUtf8(std::string_view(gbkPath, std::strlen(gbkPath)));
        const auto content = palvina::ReadCaptionFile(QString::fromStdString(utf8));
        if (content) {
            palvina::ShowCaption(window, *content);
        } else {
            palvina::HideCaption(window);
        }
    } catch (...) {
    }
}
