#include "shell/Notice.h"

#include "shell/UiThreadCall.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>

#include <cstdio>
#include <mutex>

namespace palvina {

namespace {

using NoticeHandler = std::function<void(int kind, const std::string& text)>;

std::mutex handlerMutex;
NoticeHandler noticeHandler;

NoticeHandler CurrentHandler()
{
    std::lock_guard lock(handlerMutex);
    return noticeHandler;
}

const char* CaptionOfKind(int kind)
{
    switch (kind) {
    case 1:
        return "错误";
    case 2:
        return "警告";
    default:
        return "提示";
    }
}

QMessageBox::Icon IconOfKind(int kind)
{
    switch (kind) {
    case 1:
        return QMessageBox::Critical;
    case 2:
        return QMessageBox::Warning;
    default:
        return QMessageBox::Information;
    }
}

// Runs on the UI thread.
void ShowNoticeBox(int kind, const std::string& text)
{
    QMessageBox box(IconOfKind(kind), QString::fromUtf8(CaptionOfKind(kind)),
                    QString::fromStdString(text), QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

} // namespace

void ShowNotice(int kind, const std::string& text)
{
    if (kind < 1 || kind > 3) {
        return;
    }
    try {
        const NoticeHandler handler = CurrentHandler();
        if (handler) {
            PresentOnUiThread([handler, kind, text] { handler(kind, text); });
        } else if (HasWidgetApplication()) {
            PresentOnUiThread([kind, text] { ShowNoticeBox(kind, text); });
        } else {
            // A program without windows (a command-line tool) tells its user on stderr.
            std::fprintf(stderr, "%s: %s\n", CaptionOfKind(kind), text.c_str());
        }
    } catch (...) {
        // A notice cannot fail towards its caller.
    }
}

void SetNoticeHandlerForTesting(std::function<void(int kind, const std::string& text)> handler)
{
    std::lock_guard lock(handlerMutex);
    noticeHandler = std::move(handler);
}

} // namespace palvina
