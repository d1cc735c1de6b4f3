// Replays through every fuzz target the inputs a fuzzer once failed on, and the real-world
// corpus, under the test suite's own build (and its sanitizers).
#include "filelist/FolderWalk.h"
#include "FuzzTargets.h"
#include "support/LogCapture.h"
#include "support/PdfTools.h"
#include "support/ScopedPreferences.h"

#include <gtest/gtest.h>
#include <QDir>

using namespace veltrane;

namespace {

int run(const fuzz::Target& target, const QByteArray& bytes)
{
    return target.run(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
}

} // namespace

TEST(FuzzRegressions, KeptInputsRunCleanlyThroughTheirTargets)
{
    test::ScopedPreferences preferences;
    test::LogCapture logs;
    int replayed = 0;
    for (const fuzz::Target& target : fuzz::kTargets) {
        const QDir folder(QStringLiteral(VELTRANE_FUZZ_REGRESSIONS "/") +
                          QString::fromLatin1(target.name));
        for (const QString& name : folder.entryList(QDir::Files)) {
            EXPECT_EQ(run(target, test::fileBytes(folder.filePath(name))), 0)
                << target.name << " " << qPrintable(name);
            ++replayed;
        }
    }
    EXPECT_EQ(replayed, 2); // the kept inputs, so a missing folder does not pass unseen
}

TEST(FuzzRegressions, RealWorldFilesRunThroughTheFileTargets)
{
    test::ScopedPreferences preferences;
    test::LogCapture logs;
    const QDir corpus(test::corpusFile(QString()));
    int files = 0;
    for (const QFileInfo& file : corpus.entryInfoList(QDir::Files)) {
        const qsizetype kind = acceptedExtensions().indexOf(file.suffix());
        if (kind < 0) {
            continue;
        }
        const QByteArray bytes = test::fileBytes(file.filePath());
        const QByteArray selected = char(kind) + bytes;
        EXPECT_EQ(fuzz::fileItem(reinterpret_cast<const uint8_t*>(selected.constData()),
                                 size_t(selected.size())),
                  0);
        const QByteArray& stampInput = file.suffix() == QLatin1String("pdf") ? bytes : selected;
        const auto stamp =
            file.suffix() == QLatin1String("pdf") ? fuzz::pdfStamping : fuzz::imageStamping;
        EXPECT_EQ(stamp(reinterpret_cast<const uint8_t*>(stampInput.constData()),
                        size_t(stampInput.size())),
                  0);
        ++files;
    }
    EXPECT_EQ(files, 24);
}
