#include "support/Corpus.h"

#include "support/PdfTools.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace veltrane::test {

QString CorpusEntry::path() const
{
    return corpusFile(value("local_name"));
}

QList<CorpusEntry> corpusManifest()
{
    QList<CorpusEntry> entries;
    QFile file(corpusFile(u"MANIFEST.tsv"_s));
    if (!file.open(QIODevice::ReadOnly)) {
        return entries;
    }
    const QStringList header =
        QString::fromUtf8(file.readLine()).trimmed().split(QLatin1Char('\t'));
    while (!file.atEnd()) {
        const QStringList cells =
            QString::fromUtf8(file.readLine()).chopped(1).split(QLatin1Char('\t'));
        if (cells.size() < 2) {
            continue;
        }
        CorpusEntry entry;
        for (qsizetype i = 0; i < header.size() && i < cells.size(); ++i) {
            entry.fields.insert(header[i], cells[i]);
        }
        entries.append(entry);
    }
    return entries;
}

} // namespace veltrane::test
