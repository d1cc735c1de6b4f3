#include "filelist/ListImport.h"

#include "filelist/FolderWalk.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

using namespace veltrane;

namespace {

ListImport importer()
{
    ListImport import;
    import.allowedTypes = acceptedExtensions().join(QLatin1Char(','));
    return import;
}

QStringList paths(const QList<QUrl>& urls)
{
    QStringList out;
    for (const QUrl& url : urls) {
        out << url.toLocalFile();
    }
    return out;
}

} // namespace

TEST(ListImport, LinesAreTakenAsTheyAre)
{
    ListImport import = importer();
    import.parseText(u"/a/x.pdf\n/a/x.pdf\n/a/y.Tif\n/a/z.txt\n\n"_s);
    EXPECT_EQ(paths(import.files), QStringList({u"/a/x.pdf"_s, u"/a/y.Tif"_s}));
    EXPECT_EQ(import.totalFilesFoundText(), u"Total Files Found : 2"_s);
    EXPECT_TRUE(import.problemAfterParsing().isEmpty());

    // Carriage returns, quotes and trailing spaces stay part of the line: no match.
    import.parseText(u"/a/x.pdf\r\n/a/y.png\r\n/b/last.JPG"_s);
    EXPECT_EQ(paths(import.files), QStringList{u"/b/last.JPG"_s});
    import.parseText(u"\"/a/x.pdf\"\n/a/y.pdf \n/a/ok.jPg"_s);
    EXPECT_EQ(paths(import.files), QStringList{u"/a/ok.jPg"_s});

    // Relative paths count from the working folder.
    import.parseText(u"scans/page.tiff"_s);
    EXPECT_EQ(paths(import.files),
              QStringList{QDir::current().absoluteFilePath(u"scans/page.tiff"_s)});

    import.parseText(QString());
    EXPECT_TRUE(import.files.isEmpty());
    EXPECT_EQ(import.problemAfterParsing(), u"No File(s) Found!"_s);
}

TEST(ListImport, FilesMustBeUtf8)
{
    QTemporaryDir dir;
    ListImport import = importer();
    QFile good(dir.filePath(u"list.txt"_s));
    ASSERT_TRUE(good.open(QIODevice::WriteOnly));
    good.write(u"/photos/Grüße.jpg\n/photos/b.gif\n"_s.toUtf8());
    good.close();
    import.parseFile(good.fileName());
    EXPECT_EQ(paths(import.files), QStringList({u"/photos/Grüße.jpg"_s, u"/photos/b.gif"_s}));

    QFile latin(dir.filePath(u"latin1.txt"_s));
    ASSERT_TRUE(latin.open(QIODevice::WriteOnly));
    latin.write("/photos/Gr\xfc\xdf"
                "e.jpg\n");
    latin.close();
    test::LogCapture log;
    import.parseFile(latin.fileName());
    EXPECT_TRUE(import.files.isEmpty());
    EXPECT_EQ(import.problemAfterParsing(), u"No File(s) Found!"_s);
    import.parseFile(dir.filePath(u"missing.txt"_s));
    EXPECT_TRUE(import.files.isEmpty());
    ASSERT_EQ(log.lines().size(), 2);
    EXPECT_TRUE(log.lines().first().startsWith(u"Error in (parseFile:) : "_s));

    EXPECT_EQ(ListImport::problemBeforeParsing(true, QString()),
              u"Please select file to import!"_s);
    EXPECT_EQ(ListImport::problemBeforeParsing(false, QString()),
              u"Please paste file(s) path to import!"_s);
    EXPECT_TRUE(ListImport::problemBeforeParsing(false, u"x"_s).isEmpty());
}

TEST(ListImport, HundredThousandLinesImportQuickly)
{
    QString text;
    for (int i = 0; i < 100000; ++i) {
        text += u"/scans/%1.pdf\n"_s.arg(i % 50000);
    }
    ListImport import = importer();
    QElapsedTimer timer;
    timer.start();
    import.parseText(text);
    EXPECT_EQ(import.files.size(), 50000);
    EXPECT_LT(timer.elapsed(), 10000);
    EXPECT_EQ(import.files.last().toLocalFile(), u"/scans/49999.pdf"_s);
}
