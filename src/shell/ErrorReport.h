#pragma once

#include <exception>
#include <functional>
#include <string>

namespace palvina {

// The application's general error report: shows the error's text in a message box captioned
// with the application's name, and returns when the box is closed; the program goes on. From
// another thread the box is shown on the UI thread while the caller waits. Without a widget
// application the text goes to stderr. Never throws.
void ReportError(const std::exception& error);

// Text shown for an exception that is not a std::exception.
inline constexpr const char* kUnknownErrorText = "未知错误";

// Runs an event handler and reports any exception it throws through ReportError, so that
// nothing escapes into Qt's event dispatch. Returns false when the handler threw.
bool RunReportingErrors(const std::function<void()>& handler);

// Test use only: reports go to `handler` with the error text instead of a message box (an
// empty handler restores the box).
void SetErrorReportHandlerForTesting(std::function<void(const std::string& text)> handler);

} // namespace palvina
