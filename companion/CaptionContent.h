#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

namespace palvina {

// What the caption window shows for one picture, read from the picture's companion file.
struct CaptionContent {
    QString title;
    QStringList lines;
    QUrl link; // empty unless an http or https address

    bool isEmpty() const { return title.isEmpty() && lines.isEmpty(); }
};

// Parses a companion file (format in companion/README.md). The encoding the XML declaration
// names is honoured; a file without declaration or byte-order mark that is not valid UTF-8 is
// read as GB18030, the encoding of the program's other files. Not well-formed XML or another
// root element than <picture> gives nullopt.
std::optional<CaptionContent> ParseCaptionXml(const QByteArray& bytes);

// Reads and parses the file; a missing, unreadable or oversized file, or anything but a regular
// file, gives nullopt.
std::optional<CaptionContent> ReadCaptionFile(const QString& path);

} // namespace palvina
