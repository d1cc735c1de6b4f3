#include "filelist/ListImport.h"

#include "platform/SystemLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStringDecoder>
#include <stdexcept>

namespace veltrane {

void ListImport::parseText(const QString& text)
{
    files.clear();
    guarded(QStringLiteral("Error in (parseText:) : %@"), [&] {
        const QStringList accepted = allowedTypes.split(QLatin1Char(','));
        if (text.isEmpty()) {
            return;
        }
        const QDir here = QDir::current();
        QSet<QUrl> seen; // long lists: repeats found without rescanning the list
        for (const QString& line : text.split(QLatin1Char('\n'))) {
            const QString extension = QFileInfo(line).suffix().toUpper();
            if (extension.isEmpty() || !accepted.contains(extension)) {
                continue;
            }
            const QUrl url = QUrl::fromLocalFile(here.absoluteFilePath(line));
            if (!seen.contains(url)) {
                seen.insert(url);
                files.append(url);
            }
        }
    });
}

void ListImport::parseFile(const QString& path)
{
    files.clear();
    QString text;
    const bool read = guarded(QStringLiteral("Error in (parseFile:) : %@"), [&] {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            throw std::runtime_error(
                QStringLiteral("cannot read %1: %2").arg(path, file.errorString()).toStdString());
        }
        const QByteArray bytes = file.readAll();
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        text = decoder(bytes);
        if (decoder.hasError()) {
            throw std::runtime_error(
                QStringLiteral("%1 is not UTF-8 text").arg(path).toStdString());
        }
    });
    if (read) {
        parseText(text);
    }
}

QString ListImport::totalFilesFoundText() const
{
    return QStringLiteral("Total Files Found : %1").arg(files.size());
}

QString ListImport::problemBeforeParsing(bool fileMode, const QString& pathOrText)
{
    if (!pathOrText.isEmpty()) {
        return {};
    }
    return fileMode ? QStringLiteral("Please select file to import!")
                    : QStringLiteral("Please paste file(s) path to import!");
}

QString ListImport::problemAfterParsing() const
{
    return files.isEmpty() ? QStringLiteral("No File(s) Found!") : QString();
}

} // namespace veltrane
