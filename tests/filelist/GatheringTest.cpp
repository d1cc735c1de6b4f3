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

using namespace Qt::StringLiterals;

using namespace veltrane;

namespace {

class GatheringTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QDir().mkpath(path(u"drop/sub/deeper"_s));
        QDir().mkpath(path(u"drop/.hidden"_s));
        for (const char* name : {"drop/a.pdf", "drop/b.JPG", "drop/c.Pdf", "drop/d.txt",
                                 "drop/.hidden.png", "drop/sub/e.png", "drop/sub/deeper/f.gif",
                                 "drop/.hidden/g.pdf", "single.doc", ".loose.pdf"}) {
            test::writeFile(path(QString::fromLatin1(name)), "x");
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
    Arguments drop{{QUrl::fromLocalFile(path(u"drop"_s))}, true, false};
    EXPECT_EQ(names(gatherPaths(drop, m_processing)),
              QStringList({u"drop/a.pdf"_s, u"drop/b.JPG"_s}));
    drop.isIncludeSubdirectories = true;
    EXPECT_EQ(names(gatherPaths(drop, m_processing)),
              QStringList({u"drop/a.pdf"_s, u"drop/b.JPG"_s, u"drop/sub/deeper/f.gif"_s,
                           u"drop/sub/e.png"_s}));
    // A file dropped directly: taken when accepted (hidden or not), else walked into nothing.
    const Arguments files{
        {QUrl::fromLocalFile(path(u"single.doc"_s)), QUrl::fromLocalFile(path(u".loose.pdf"_s))},
        true,
        false};
    EXPECT_EQ(names(gatherPaths(files, m_processing)), QStringList{u".loose.pdf"_s});
    // Files from the panel or an import are taken as they come.
    const Arguments imported{{QUrl::fromLocalFile(path(u"drop/c.Pdf"_s))}, false, false};
    EXPECT_EQ(names(gatherPaths(imported, m_processing)), QStringList{u"drop/c.Pdf"_s});

    m_processing = false;
    EXPECT_TRUE(gatherPaths(drop, m_processing).isEmpty());
}

TEST_F(GatheringTest, ItemsKeepOrderRefuseDuplicatesAndTakeThePassword)
{
    QStringList paths;
    for (int i = 0; i < 12; ++i) {
        const QString file = path(u"doc%1.pdf"_s.arg(i, 2, 10, QLatin1Char('0')));
        test::writeBodyPdf(file, 1 + i % 3, QSizeF(100, 100));
        paths << file;
    }
    QFile::copy(test::corpusFile(u"qpdf_c-r6-in.pdf"_s), path(u"locked.pdf"_s));
    paths << path(u"locked.pdf"_s) << paths[3];
    const QList<FileItem> first = measureFiles(paths.mid(0, 4), u"user4"_s, 2, {}, m_processing);
    const QList<FileItem> items = measureFiles(paths, u"user4"_s, 2, first, m_processing);
    ASSERT_EQ(items.size(), 9); // four were listed already, one is named twice
    EXPECT_EQ(items.first().path(), paths[4]);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(items[i].path(), paths[4 + i]);
        EXPECT_EQ(items[i].pages(), 1 + (4 + i) % 3);
        EXPECT_EQ(items[i].pdfOpenPassword(), u"user4"_s);
    }
    EXPECT_TRUE(items[8].isEncrypted());
    EXPECT_EQ(items[8].pages(), 30); // the default read password unlocked it
    const QList<FileItem> wrong =
        measureFiles({path(u"locked.pdf"_s)}, u"nope"_s, 1, {}, m_processing);
    ASSERT_EQ(wrong.size(), 1);
    EXPECT_EQ(wrong[0].problem(), u"wrong password"_s);
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
    const QByteArray root = QFile::encodeName(path(u"odd"_s));
    QDir().mkpath(path(u"odd/inner"_s));
    // A link back to the folder itself and one to its parent: a walk that followed them would
    // never end.
    ASSERT_EQ(::symlink(root.constData(), (root + "/inner/loop").constData()), 0);
    ASSERT_EQ(::symlink("..", (root + "/inner/up").constData()), 0);
    const QList<QByteArray> odd = {"tab\there.pdf", "new\nline.pdf", "-leading.pdf",
                                   "bad\xff\xfe.pdf", "--.PDF"};
    for (const QByteArray& name : odd) {
        // Written under a plain name and renamed with the raw bytes: a name that is not UTF-8
        // cannot be spelt through QString.
        test::writeBodyPdf(path(u"plain.pdf"_s), 2, QSizeF(100, 100));
        ASSERT_EQ(::rename(QFile::encodeName(path(u"plain.pdf"_s)).constData(),
                           (root + "/inner/" + name).constData()),
                  0);
        ASSERT_EQ(::access((root + "/inner/" + name).constData(), R_OK), 0) << name.constData();
    }
    // A folder that cannot be read is passed over (root reads it all the same).
    QDir().mkpath(path(u"odd/shut"_s));
    test::writeBodyPdf(path(u"odd/shut/x.pdf"_s), 2, QSizeF(100, 100));
    ASSERT_EQ(::chmod((root + "/shut").constData(), 0), 0);
    Arguments drop{{QUrl::fromLocalFile(path(u"odd"_s))}, true, true};
    test::LogCapture log;
    QStringList found = gatherPaths(drop, m_processing);
    ::chmod((root + "/shut").constData(), 0755);
    const bool readsAnything = ::geteuid() == 0;
    EXPECT_EQ(
        log.lines().filter(u"folder cannot be read, not walked: "_s + path(u"odd/shut"_s)).size(),
        readsAnything ? 0 : 1);
    EXPECT_EQ(found.removeAll(path(u"odd/shut/x.pdf"_s)), readsAnything ? 1 : 0);
    // The name that is not UTF-8 cannot be opened through Qt's file names: it is listed as
    // shown, so that it is reported rather than left out without a word.
    EXPECT_EQ(found.size(), odd.size());
    for (const QString& p : found) {
        EXPECT_TRUE(p.startsWith(path(u"odd/inner/"_s))) << qPrintable(p);
    }

    QList<FileItem> items = measureFiles(found, {}, 2, {}, m_processing);
    ASSERT_EQ(items.size(), found.size());
    int readable = 0;
    QStringList problems;
    for (const FileItem& item : items) {
        readable += item.pages() == 2 ? 1 : 0;
        if (!item.problem().isEmpty()) {
            problems << item.name() + u": "_s + item.problem();
        }
    }
    EXPECT_EQ(readable, 4);
    EXPECT_EQ(problems, QStringList(u"bad\uFFFD\uFFFD.pdf: file name is not valid UTF-8"_s));

    // A file that vanished between the walk and its measuring is listed with 0 pages.
    const QString gone = path(u"odd/inner/-leading.pdf"_s);
    ASSERT_TRUE(QFile::remove(gone));
    items = measureFiles({gone}, {}, 1, {}, m_processing);
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(items[0].pages(), 0);
    EXPECT_EQ(items[0].problem(), u"not found"_s);
    ::unlink((root + "/inner/bad\xff\xfe.pdf").constData()); // QTemporaryDir cannot spell it
}
