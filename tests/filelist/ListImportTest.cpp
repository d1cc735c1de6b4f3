#include "filelist/ListImport.h"

#include "filelist/FolderWalk.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

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
    import.parseText(QStringLiteral("/a/x.pdf\n/a/x.pdf\n/a/y.Tif\n/a/z.txt\n\n"));
    EXPECT_EQ(paths(import.files),
              QStringList({QStringLiteral("/a/x.pdf"), QStringLiteral("/a/y.Tif")}));
    EXPECT_EQ(import.totalFilesFoundText(), QStringLiteral("Total Files Found : 2"));
    EXPECT_TRUE(import.problemAfterParsing().isEmpty());

    // Carriage returns, quotes and trailing spaces stay part of the line: no match.
    import.parseText(QStringLiteral("/a/x.pdf\r\n/a/y.png\r\n/b/last.JPG"));
    EXPECT_EQ(paths(import.files), QStringList{QStringLiteral("/b/last.JPG")});
    import.parseText(QStringLiteral("\"/a/x.pdf\"\n/a/y.pdf \n/a/ok.jPg"));
    EXPECT_EQ(paths(import.files), QStringList{QStringLiteral("/a/ok.jPg")});

    // Relative paths count from the working folder.
    import.parseText(QStringLiteral("scans/page.tiff"));
    EXPECT_EQ(paths(import.files),
              QStringList{QDir::current().absoluteFilePath(QStringLiteral("scans/page.tiff"))});

    import.parseText(QString());
    EXPECT_TRUE(import.files.isEmpty());
    EXPECT_EQ(import.problemAfterParsing(), QStringLiteral("No File(s) Found!"));
}

TEST(ListImport, FilesMustBeUtf8)
{
    QTemporaryDir dir;
    ListImport import = importer();
    QFile good(dir.filePath(QStringLiteral("list.txt")));
    ASSERT_TRUE(good.open(QIODevice::WriteOnly));
    good.write(QStringLiteral("/photos/Grüße.jpg\n/photos/b.gif\n").toUtf8());
    good.close();
    import.parseFile(good.fileName());
    EXPECT_EQ(paths(import.files),
              QStringList({QStringLiteral("/photos/Grüße.jpg"), QStringLiteral("/photos/b.gif")}));

    QFile latin(dir.filePath(QStringLiteral("latin1.txt")));
    ASSERT_TRUE(latin.open(QIODevice::WriteOnly));
    latin.write("/photos/Gr\xfc\xdf"
                "e.jpg\n");
    latin.close();
    test::LogCapture log;
    import.parseFile(latin.fileName());
    EXPECT_TRUE(import.files.isEmpty());
    EXPECT_EQ(import.problemAfterParsing(), QStringLiteral("No File(s) Found!"));
    import.parseFile(dir.filePath(QStringLiteral("missing.txt")));
    EXPECT_TRUE(import.files.isEmpty());
    ASSERT_EQ(log.lines().size(), 2);
    EXPECT_TRUE(log.lines().first().startsWith(QStringLiteral("Error in (parseFile:) : ")));

    EXPECT_EQ(ListImport::problemBeforeParsing(true, QString()),
              QStringLiteral("Please select file to import!"));
    EXPECT_EQ(ListImport::problemBeforeParsing(false, QString()),
              QStringLiteral("Please paste file(s) path to import!"));
    EXPECT_TRUE(ListImport::problemBeforeParsing(false, QStringLiteral("x")).isEmpty());
}

TEST(ListImport, HundredThousandLinesImportQuickly)
{
    QString text;
    for (int i = 0; i < 100000; ++i) {
        text += QStringLiteral("/scans/%1.pdf\n").arg(i % 50000);
    }
    ListImport import = importer();
    QElapsedTimer timer;
    timer.start();
    import.parseText(text);
    EXPECT_EQ(import.files.size(), 50000);
    EXPECT_LT(timer.elapsed(), 10000);
    EXPECT_EQ(import.files.last().toLocalFile(), QStringLiteral("/scans/49999.pdf"));
}
