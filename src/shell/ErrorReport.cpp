#include "shell/ErrorReport.h"

#include "shell/UiThreadCall.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>

#include <cstdio>
#include <mutex>

namespace palvina {

namespace {

using ReportHandler = std::function<void(const std::string& text)>;

std::mutex handlerMutex;
ReportHandler reportHandler;

ReportHandler CurrentHandler()
{
    std::lock_guard lock(handlerMutex);
    return reportHandler;
}

// Runs on the UI thread.
void ShowErrorBox(const std::string& text)
{
    QMessageBox::critical(nullptr, QGuiApplication::applicationDisplayName(),
                          QString::fromStdString(text));
}

void ReportText(const std::string& text)
{
    try {
        const ReportHandler handler = CurrentHandler();
        if (handler) {
            PresentOnUiThread([handler, text] { handler(text); });
        } else if (HasWidgetApplication()) {
            PresentOnUiThread([text] { ShowErrorBox(text); });
        } else {
            std::fprintf(stderr, "%s\n", text.c_str());
        }
    } catch (...) {
        // The report itself must not fail its caller.
    }
}

} // namespace

void ReportError(const std::exception& error)
{
    ReportText(error.what());
}

bool RunReportingErrors(const std::function<void()>& handler)
{
    try {
        handler();
        return true;
    } catch (const std::exception& error) {
        ReportError(error);
    } catch (...) {
        ReportText(kUnknownErrorText);
    }
    return false;
}

void SetErrorReportHandlerForTesting(std::function<void(const std::string& text)> handler)
{
    std::lock_guard lock(handlerMutex);
    reportHandler = std::move(handler);
}

} // namespace palvina
