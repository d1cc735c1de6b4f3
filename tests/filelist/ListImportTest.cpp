#include "filelist/ListImport.h"

#include "filelist/FolderWalk.h"
#include "support/LogCapture.h"
#include "support/PdfTools.h"

#include <gtest/gtest.h>
#include <QDir>
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
    import.parseFile(test::writeFile(dir.filePath(u"list.txt"_s),
                                     u"/photos/Grüße.jpg\n/photos/b.gif\n"_s.toUtf8()));
    EXPECT_EQ(paths(import.files), QStringList({u"/photos/Grüße.jpg"_s, u"/photos/b.gif"_s}));

    const QString latin = test::writeFile(dir.filePath(u"latin1.txt"_s), "/photos/Gr\xfc\xdf"
                                                                         "e.jpg\n");
    test::LogCapture log;
    import.parseFile(latin);
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
