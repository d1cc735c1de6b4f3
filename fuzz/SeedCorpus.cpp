// Writes the fuzzers' seed corpus: one folder per target, filled from the real-world corpus
// and from files the program itself writes (profiles in both property-list encodings, an import
// list, a usage record).  veltrane-fuzz-seeds OUT_FOLDER CORPUS_FOLDER
#include "filelist/FolderWalk.h"
#include "FuzzEnvironment.h"
#include "FuzzTargets.h"
#include "platform/PropertyList.h"
#include "targets/StampJob.h"

#include <cstdio>
#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace veltrane;

namespace {

void put(const QString& folder, const QString& name, const QByteArray& bytes)
{
    QDir().mkpath(folder);
    QFile file(folder + QLatin1Char('/') + name);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(bytes);
    }
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The selector byte that makes the file-kind targets take `suffix`.
char selectorFor(const QString& suffix)
{
    return char(acceptedExtensions().indexOf(suffix));
}

} // namespace

int main(int argc, char** argv)
{
    fuzz::initEnvironment();
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s OUT_FOLDER CORPUS_FOLDER\n", argv[0]);
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const QDir corpus(QString::fromLocal8Bit(argv[2]));

    const QString profile = fuzz::workFolder() + QStringLiteral("/seed.vlt");
    fuzz::stampJob().save(profile);
    const QByteArray xml = readAll(profile);
    put(out + QStringLiteral("/profile_load"), QStringLiteral("job.xml"), xml);
    put(out + QStringLiteral("/profile_load"), QStringLiteral("job.bplist"),
        toBinaryPropertyList(readPropertyList(xml).value));

    put(out + QStringLiteral("/list_import"), QStringLiteral("list.txt"),
        "/tmp/a.pdf\n/tmp/b.JPG\r\nrelative/c.tif\n\"/tmp/quoted.png\"\n/tmp/a.pdf\n");

    put(out + QStringLiteral("/usages_load"), QStringLiteral("Usages.Log"),
        fuzz::sampleUsagesLog());

    for (const QFileInfo& file : corpus.entryInfoList(QDir::Files)) {
        const QString suffix = file.suffix();
        if (!acceptedExtensions().contains(suffix)) {
            continue;
        }
        const QByteArray bytes = readAll(file.filePath());
        const QByteArray selected = selectorFor(suffix) + bytes;
        put(out + QStringLiteral("/file_item"), file.fileName(), selected);
        if (suffix == QLatin1String("pdf")) {
            put(out + QStringLiteral("/pdf_stamping"), file.fileName(), bytes);
        } else {
            put(out + QStringLiteral("/image_stamping"), file.fileName(), selected);
        }
    }
    return 0;
}
