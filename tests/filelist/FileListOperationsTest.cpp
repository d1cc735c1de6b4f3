#include "filelist/FileListOperations.h"

#include "support/PdfTools.h"
#include "support/ScopedLanguage.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace veltrane;

namespace {

class FileListOperationsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char* name : {"a.pdf", "b.tif", "c.gif", "d.PDF", "e.jpg"}) {
            const QString path = m_dir.filePath(QString::fromLatin1(name));
            test::writeBodyPdf(path, 2, QSizeF(100, 100)); // content aside, only PDFs count pages
            m_items.append(*FileItem::initWithURL(QUrl::fromLocalFile(path)));
        }
    }

    QStringList names() const
    {
        QStringList out;
        for (const FileItem& item : m_items) {
            out << item.name();
        }
        return out;
    }

    QTemporaryDir m_dir;
    QList<FileItem> m_items;
};

} // namespace

TEST_F(FileListOperationsTest, ChecksFollowTheirCodes)
{
    checkUncheckInvertAll(m_items, 2);
    checkUncheckInvertSelection(m_items, {1, 3, 99}, 1);
    checkUncheckInvertSelection(m_items, {0, 1}, 3);
    checkUncheckInvertSelection(m_items, {4}, 7);
    QList<bool> marks;
    for (const FileItem& item : m_items) {
        marks << item.isSelected();
    }
    EXPECT_EQ(marks, QList<bool>({true, false, false, true, false}));
}

TEST_F(FileListOperationsTest, MovingAndRemovingRows)
{
    EXPECT_EQ(moveUp(m_items, {0, 2, 3}), QList<int>({0, 1, 2}));
    EXPECT_EQ(names(), QStringList({QStringLiteral("a.pdf"), QStringLiteral("c.gif"),
                                    QStringLiteral("d.PDF"), QStringLiteral("b.tif"),
                                    QStringLiteral("e.jpg")}));
    EXPECT_EQ(moveDown(m_items, {3, 4}), QList<int>{});
    EXPECT_EQ(moveDown(m_items, {0, 1}), QList<int>({1, 2}));
    EXPECT_EQ(names().first(), QStringLiteral("d.PDF"));
    EXPECT_TRUE(removeRows(m_items, {4, 0, 0}));
    EXPECT_EQ(names(), QStringList({QStringLiteral("a.pdf"), QStringLiteral("c.gif"),
                                    QStringLiteral("b.tif")}));
    EXPECT_FALSE(removeRows(m_items, {}));
}

TEST_F(FileListOperationsTest, TotalsTooltipsAndPdfChecks)
{
    EXPECT_EQ(totalLabelText(m_items),
              QStringLiteral("5 Total file(s); Total page count of PDF files: 4  TIFF files: 0  "
                             "Other files: 0"));
    EXPECT_EQ(totalLabelText({}), QStringLiteral("0 Total file(s); Total page count of PDF "
                                                 "files: 0  TIFF files: 0  Other files: 0"));
    EXPECT_TRUE(containsPDFFiles(m_items, {1, 3}));
    EXPECT_FALSE(containsPDFFiles(m_items, {1, 2, 4}));

    FileItem locked = *FileItem::initWithURL(
        QUrl::fromLocalFile(test::corpusFile(QStringLiteral("qpdf_c-r6-in.pdf"))));
    EXPECT_EQ(securedToolTip(locked), QStringLiteral("Secured."));
    EXPECT_EQ(securedToolTip(m_items[0]), QString());
    QList<FileItem> list{locked, m_items[0]};
    updatePDFReadPassword(list, {0, 1}, QStringLiteral("wrong"));
    EXPECT_EQ(list[0].pages(), 0);
    EXPECT_EQ(list[1].pdfOpenPassword(), QStringLiteral("wrong")); // not encrypted: verifies
    updatePDFReadPassword(list, {0}, QStringLiteral("user4"));
    EXPECT_EQ(list[0].pages(), 30);
    EXPECT_EQ(securedToolTip(list[0]), QStringLiteral("Secured and having password."));
}

TEST_F(FileListOperationsTest, ExportWritesTheTabDelimitedList)
{
    const QString path = m_dir.filePath(QStringLiteral("list.txt"));
    m_items.append(
        *FileItem::initWithURL(QUrl::fromLocalFile(m_dir.filePath(QStringLiteral("gone %1.pdf")))));
    ASSERT_TRUE(exportList(m_items, path));
    const QStringList lines = QString::fromUtf8(test::fileBytes(path)).split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 8); // header, six items, and the empty piece after the last line feed
    EXPECT_EQ(lines[0],
              QStringLiteral(
                  "Name\tPages\tSize\tType\tModified Date\tAccessed Date\tCreated Date\tLocation"));
    const QStringList first = lines[1].split(QLatin1Char('\t'));
    ASSERT_EQ(first.size(), 8);
    EXPECT_EQ(first[0], QStringLiteral("a.pdf"));
    EXPECT_EQ(first[1], QStringLiteral("2"));
    EXPECT_EQ(first[3], QStringLiteral("pdf"));
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d [+-]\\d{4}$"))
            .match(first[4])
            .hasMatch())
        << first[4].toStdString();
    EXPECT_EQ(first[7], m_dir.path());
    EXPECT_EQ(lines[6],
              QStringLiteral("gone %1.pdf\t0\t0 KB\tpdf\t(null)\t(null)\t(null)\t") + m_dir.path());
    EXPECT_FALSE(test::fileBytes(path).startsWith("\xef\xbb\xbf"));
    EXPECT_EQ(
        exportText({}),
        QByteArray(
            "Name\tPages\tSize\tType\tModified Date\tAccessed Date\tCreated Date\tLocation\n"));

    test::ScopedLanguage english("en_US.UTF-8");
    EXPECT_EQ(exportFileName(QDateTime(QDate(2026, 12, 5), QTime(13, 34, 35))),
              QStringLiteral("Export 05-Dec-2026 01-34-35 PM.txt"));
}
