#include "CaptionContent.h"

#include "files/GbkText.h"

#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>

#include <string_view>

namespace palvina {

namespace {

// A caption is a few lines; anything this large is not one.
constexpr qint64 kMaxFileSize = 1 << 20;

QUrl ClickableLink(const QString& text)
{
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty()) {
        return {};
    }
    const QString scheme = url.scheme();
    return (scheme == u"http" || scheme == u"https") ? url : QUrl();
}

void AddLines(QStringList& lines, const QString& text)
{
    for (const QString& line : text.split(u'\n')) {
        const QString trimmed = line.simplified();
        if (!trimmed.isEmpty()) {
            lines.append(trimmed);
        }
    }
}

std::optional<CaptionContent> Parse(QXmlStreamReader& reader)
{
    if (!reader.readNextStartElement() || reader.name() != u"picture") {
        return std::nullopt;
    }
    CaptionContent content;
    bool haveTitle = false;
    bool haveLink = false;
    while (reader.readNextStartElement()) {
        const QStringView name = reader.name();
        if (name == u"title") {
            const QString title = reader.readElementText(QXmlStreamReader::IncludeChildElements);
            if (!haveTitle) {
                content.title = title.simplified();
                haveTitle = true;
            }
        } else if (name == u"text") {
            AddLines(content.lines, reader.readElementText(QXmlStreamReader::IncludeChildElements));
        } else if (name == u"link") {
            const QString link = reader.readElementText(QXmlStreamReader::IncludeChildElements);
            if (!haveLink) {
                content.link = ClickableLink(link);
                haveLink = true;
            }
        } else {
            reader.skipCurrentElement();
        }
    }
    // Reading on to the end also catches damage after the root element.
    while (!reader.atEnd()) {
        reader.readNext();
    }
    if (reader.hasError()) {
        return std::nullopt;
    }
    return content;
}

bool HasByteOrderMark(const QByteArray& bytes)
{
    return bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE") ||
           bytes.startsWith("\xFE\xFF");
}

bool DeclaresEncoding(const QByteArray& bytes)
{
    QXmlStreamReader reader(bytes);
    return reader.readNext() == QXmlStreamReader::StartDocument &&
           !reader.documentEncoding().isEmpty();
}

} // namespace

std::optional<CaptionContent> ParseCaptionXml(const QByteArray& bytes)
{
    QXmlStreamReader reader(bytes);
    if (auto content = Parse(reader)) {
        return content;
    }
    const std::string_view view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    if (HasByteOrderMark(bytes) || DeclaresEncoding(bytes) || SanitizeUtf8(view) == view) {
        return std::nullopt;
    }
    const std::string utf8 = GbkToUtf8(view);
    QXmlStreamReader gbkReader(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
    return Parse(gbkReader);
}

std::optional<CaptionContent> ReadCaptionFile(const QString& path)
{
    // Only a regular file: a pipe or device named by a damaged play list could block the read.
    QFile file(path);
    if (path.isEmpty() || !QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly) || file.size() > kMaxFileSize) {
        return std::nullopt;
    }
    const QByteArray bytes = file.read(kMaxFileSize + 1);
    if (bytes.size() > kMaxFileSize) {
        return std::nullopt;
    }
    return ParseCaptionXml(bytes);
}

} // namespace palvina
