#pragma once

#include <QList>
#include <QMap>
#include <QString>

namespace veltrane::test {

// One row of the shared corpus's MANIFEST.tsv, by column name.
struct CorpusEntry
{
    QMap<QString, QString> fields;
    QString value(const char* column) const { return fields.value(QString::fromLatin1(column)); }
    QString path() const;
};

QList<CorpusEntry> corpusManifest();

} // namespace veltrane::test
