#include "filelist/Gathering.h"

#include "platform/PreferencesStore.h"
#include "support/LogCapture.h"
#include "support/PdfTools.h"
#include "support/ScopedPreferences.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <sys/stat.h>
#include <unistd.h>

using namespace veltrane;

namespace {

class GatheringTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QDir().mkpath(path(QStringLiteral("drop/sub/deeper")));
        QDir().mkpath(path(QStringLiteral("drop/.hidden")));
        for (const char* name : {"drop/a.pdf", "drop/b.JPG", "drop/c.Pdf", "drop/d.txt",
                                 "drop/.hidden.png", "drop/sub/e.png", "drop/sub/deeper/f.gif",
                                 "drop/.hidden/g.pdf", "single.doc", ".loose.pdf"}) {
            QFile file(path(QString::fromLatin1(name)));
            file.open(QIODevice::WriteOnly);
            file.write("x");
        }
    }

    QString path(const QString& name) const { return m_dir.filePath(name); }
    QStringList names(const QStringList& paths) const
    {
        QStringList out;
        for (const QString& p : paths) {
            out << QDir(m_dir.path()).relativeFilePath(p);
        }
        return out;
    }

    QTemporaryDir m_dir;
    std::atomic<bool> m_processing{true};
};

} // namespace

TEST_F(GatheringTest, FolderWalksTakeExactExtensionsAndSkipHiddenEntries)
{
    Arguments drop{{QUrl::fromLocalFile(path(QStringLiteral("drop")))}, true, false};
    EXPECT_EQ(names(gatherPaths(drop, m_processing)),
              QStringList({QStringLiteral("drop/a.pdf"), QStringLiteral("drop/b.JPG")}));
    drop.isIncludeSubdirectories = true;
    EXPECT_EQ(
        names(gatherPaths(drop, m_processing)),
        QStringList({QStringLiteral("drop/a.pdf"), QStringLiteral("drop/b.JPG"),
                     QStringLiteral("drop/sub/deeper/f.gif"), QStringLiteral("drop/sub/e.png")}));
    // A file dropped directly: taken when accepted (hidden or not), else walked into nothing.
    const Arguments files{{QUrl::fromLocalFile(path(QStringLiteral("single.doc"))),
                           QUrl::fromLocalFile(path(QStringLiteral(".loose.pdf")))},
                          true,
                          false};
    EXPECT_EQ(names(gatherPaths(files, m_processing)), QStringList{QStringLiteral(".loose.pdf")});
    // Files from the panel or an import are taken as they come.
    const Arguments imported{
        {QUrl::fromLocalFile(path(QStringLiteral("drop/c.Pdf")))}, false, false};
    EXPECT_EQ(names(gatherPaths(imported, m_processing)),
              QStringList{QStringLiteral("drop/c.Pdf")});

    m_processing = false;
    EXPECT_TRUE(gatherPaths(drop, m_processing).isEmpty());
}

TEST_F(GatheringTest, ItemsKeepOrderRefuseDuplicatesAndTakeThePassword)
{
    QStringList paths;
    for (int i = 0; i < 12; ++i) {
        const QString file = path(QStringLiteral("doc%1.pdf").arg(i, 2, 10, QLatin1Char('0')));
        test::writeBodyPdf(file, 1 + i % 3, QSizeF(100, 100));
        paths << file;
    }
    QFile::copy(test::corpusFile(QStringLiteral("qpdf_c-r6-in.pdf")),
                path(QStringLiteral("locked.pdf")));
    paths << path(QStringLiteral("locked.pdf")) << paths[3];
    const QList<FileItem> first =
        measureFiles(paths.mid(0, 4), QStringLiteral("user4"), 2, {}, m_processing);
    const QList<FileItem> items =
        measureFiles(paths, QStringLiteral("user4"), 2, first, m_processing);
    ASSERT_EQ(items.size(), 9); // four were listed already, one is named twice
    EXPECT_EQ(items.first().path(), paths[4]);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(items[i].path(), paths[4 + i]);
        EXPECT_EQ(items[i].pages(), 1 + (4 + i) % 3);
        EXPECT_EQ(items[i].pdfOpenPassword(), QStringLiteral("user4"));
    }
    EXPECT_TRUE(items[8].isEncrypted());
    EXPECT_EQ(items[8].pages(), 30); // the default read password unlocked it
    const QList<FileItem> wrong = measureFiles({path(QStringLiteral("locked.pdf"))},
                                               QStringLiteral("nope"), 1, {}, m_processing);
    ASSERT_EQ(wrong.size(), 1);
    EXPECT_EQ(wrong[0].problem(), QStringLiteral("wrong password"));
}

TEST(GatheringPreference, IncludeSubfoldersIsStoredAtOnce)
{
    test::ScopedPreferences preferences;
    EXPECT_FALSE(inculdeSubfolders());
    setInculdeSubfolders(true);
    PreferencesStore::shared().setFilePath(preferences.path()); // read back from disk
    EXPECT_TRUE(inculdeSubfolders());
}

TEST_F(GatheringTest, OddNamesLoopsAndVanishedFilesNeitherHangNorLoseTheRest)
{
    const QByteArray root = QFile::encodeName(path(QStringLiteral("odd")));
    QDir().mkpath(path(QStringLiteral("odd/inner")));
    // A link back to the folder itself and one to its parent: a walk that followed them would
    // never end.
    ASSERT_EQ(::symlink(root.constData(), (root + "/inner/loop").constData()), 0);
    ASSERT_EQ(::symlink("..", (root + "/inner/up").constData()), 0);
    const QList<QByteArray> odd = {"tab\there.pdf", "new\nline.pdf", "-leading.pdf",
                                   "bad\xff\xfe.pdf", "--.PDF"};
    for (const QByteArray& name : odd) {
        // Written under a plain name and renamed with the raw bytes: a name that is not UTF-8
        // cannot be spelt through QString.
        test::writeBodyPdf(path(QStringLiteral("plain.pdf")), 2, QSizeF(100, 100));
        ASSERT_EQ(::rename(QFile::encodeName(path(QStringLiteral("plain.pdf"))).constData(),
                           (root + "/inner/" + name).constData()),
                  0);
        ASSERT_EQ(::access((root + "/inner/" + name).constData(), R_OK), 0) << name.constData();
    }
    // A folder that cannot be read is passed over (root reads it all the same).
    QDir().mkpath(path(QStringLiteral("odd/shut")));
    test::writeBodyPdf(path(QStringLiteral("odd/shut/x.pdf")), 2, QSizeF(100, 100));
    ASSERT_EQ(::chmod((root + "/shut").constData(), 0), 0);
    Arguments drop{{QUrl::fromLocalFile(path(QStringLiteral("odd")))}, true, true};
    test::LogCapture log;
    QStringList found = gatherPaths(drop, m_processing);
    ::chmod((root + "/shut").constData(), 0755);
    const bool readsAnything = ::geteuid() == 0;
    EXPECT_EQ(log.lines()
                  .filter(QStringLiteral("folder cannot be read, not walked: ") +
                          path(QStringLiteral("odd/shut")))
                  .size(),
              readsAnything ? 0 : 1);
    EXPECT_EQ(found.removeAll(path(QStringLiteral("odd/shut/x.pdf"))), readsAnything ? 1 : 0);
    // The name that is not UTF-8 cannot be opened through Qt's file names: it is listed as
    // shown, so that it is reported rather than left out without a word.
    EXPECT_EQ(found.size(), odd.size());
    for (const QString& p : found) {
        EXPECT_TRUE(p.startsWith(path(QStringLiteral("odd/inner/")))) << qPrintable(p);
    }

    QList<FileItem> items = measureFiles(found, {}, 2, {}, m_processing);
    ASSERT_EQ(items.size(), found.size());
    int readable = 0;
    QStringList problems;
    for (const FileItem& item : items) {
        readable += item.pages() == 2 ? 1 : 0;
        if (!item.problem().isEmpty()) {
            problems << item.name() + QStringLiteral(": ") + item.problem();
        }
    }
    EXPECT_EQ(readable, 4);
    EXPECT_EQ(problems,
              QStringList(QStringLiteral("bad\uFFFD\uFFFD.pdf: file name is not valid UTF-8")));

    // A file that vanished between the walk and its measuring is listed with 0 pages.
    const QString gone = path(QStringLiteral("odd/inner/-leading.pdf"));
    ASSERT_TRUE(QFile::remove(gone));
    items = measureFiles({gone}, {}, 1, {}, m_processing);
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(items[0].pages(), 0);
    EXPECT_EQ(items[0].problem(), QStringLiteral("not found"));
    ::unlink((root + "/inner/bad\xff\xfe.pdf").constData()); // QTemporaryDir cannot spell it
}
