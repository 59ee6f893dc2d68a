#pragma once

#include <QDesktopServices>
#include <QString>
#include <QTextBrowser>
#include <QUrl>
#include <QVariant>

#include <vector>

namespace palvina::test {

// Takes the place of the desktop's URL handlers for some schemes while it lives and records
// what QDesktopServices::openUrl is asked to open. QTextBrowser::setSource is a slot that takes
// a QUrl, so it can serve as the handler method without a meta-object of our own; loading is
// replaced by recording. A URL equal to the one before is not reported again.
class UrlRecorder : public QTextBrowser {
public:
    UrlRecorder()
    {
        for (const char* scheme : {"file", "http", "https"}) {
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "setSource");
        }
    }
    ~UrlRecorder() override
    {
        for (const char* scheme : {"file", "http", "https"}) {
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
        }
    }

    const std::vector<QUrl>& opened() const { return opened_; }

protected:
    QVariant loadResource(int /*type*/, const QUrl& url) override
    {
        opened_.push_back(url);
        return QString();
    }

private:
    std::vector<QUrl> opened_;
};

} // namespace palvina::test
