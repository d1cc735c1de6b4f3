#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

namespace veltrane {

// The import panel's engine: turns a list of paths, one a line, into file URLs. Lines are split
// at line feeds only and kept as they are (no trimming); a line is taken when its extension,
// upper-cased, is an accepted one; relative paths are taken from the working folder; repeats
// are dropped. Paths are not checked against the file system.
class ListImport
{
public:
    // Accepted extensions joined by ",", as the opener sets them.
    QString allowedTypes;
    // The result of the last parse, in line order.
    QList<QUrl> files;

    void parseText(const QString& text);
    // Reads the file as UTF-8; a file that cannot be read or is not UTF-8 gives an empty list.
    void parseFile(const QString& path);

    // "Total Files Found : <n>".
    QString totalFilesFoundText() const;

    // Why importing cannot go on, or empty when it can: the panel shows these as alerts.
    static QString problemBeforeParsing(bool fileMode, const QString& pathOrText);
    QString problemAfterParsing() const;
};

} // namespace veltrane
