#include "filelist/FileListOperations.h"

#include "support/ItemTools.h"
#include "support/ScopedLanguage.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

using namespace veltrane;

namespace {

class FileListOperationsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Content aside, only PDFs count pages.
        m_items = test::pdfItems(
            m_dir.path(), {{"a.pdf", 2}, {"b.tif", 2}, {"c.gif", 2}, {"d.PDF", 2}, {"e.jpg", 2}});
    }
    QStringList names() const { return test::itemNames(m_items); }

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
    EXPECT_EQ(names(), QStringList({u"a.pdf"_s, u"c.gif"_s, u"d.PDF"_s, u"b.tif"_s, u"e.jpg"_s}));
    EXPECT_EQ(moveDown(m_items, {3, 4}), QList<int>{});
    EXPECT_EQ(moveDown(m_items, {0, 1}), QList<int>({1, 2}));
    EXPECT_EQ(names().first(), u"d.PDF"_s);
    EXPECT_TRUE(removeRows(m_items, {4, 0, 0}));
    EXPECT_EQ(names(), QStringList({u"a.pdf"_s, u"c.gif"_s, u"b.tif"_s}));
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

    FileItem locked = test::listedItem(test::corpusFile(u"qpdf_c-r6-in.pdf"_s));
    EXPECT_EQ(securedToolTip(locked), u"Secured."_s);
    EXPECT_EQ(securedToolTip(m_items[0]), QString());
    QList<FileItem> list{locked, m_items[0]};
    updatePDFReadPassword(list, {0, 1}, u"wrong"_s);
    EXPECT_EQ(list[0].pages(), 0);
    EXPECT_EQ(list[1].pdfOpenPassword(), u"wrong"_s); // not encrypted: verifies
    updatePDFReadPassword(list, {0}, u"user4"_s);
    EXPECT_EQ(list[0].pages(), 30);
    EXPECT_EQ(securedToolTip(list[0]), u"Secured and having password."_s);
}

TEST_F(FileListOperationsTest, ExportWritesTheTabDelimitedList)
{
    const QString path = m_dir.filePath(u"list.txt"_s);
    m_items.append(test::listedItem(m_dir.filePath(u"gone %1.pdf"_s)));
    ASSERT_TRUE(exportList(m_items, path));
    const QStringList lines = QString::fromUtf8(test::fileBytes(path)).split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 8); // header, six items, and the empty piece after the last line feed
    EXPECT_EQ(lines[0],
              u"Name\tPages\tSize\tType\tModified Date\tAccessed Date\tCreated Date\tLocation"_s);
    const QStringList first = lines[1].split(QLatin1Char('\t'));
    ASSERT_EQ(first.size(), 8);
    EXPECT_EQ(first[0], u"a.pdf"_s);
    EXPECT_EQ(first[1], u"2"_s);
    EXPECT_EQ(first[3], u"pdf"_s);
    EXPECT_TRUE(QRegularExpression(u"^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d [+-]\\d{4}$"_s)
                    .match(first[4])
                    .hasMatch())
        << first[4].toStdString();
    EXPECT_EQ(first[7], m_dir.path());
    EXPECT_EQ(lines[6], u"gone %1.pdf\t0\t0 KB\tpdf\t(null)\t(null)\t(null)\t"_s + m_dir.path());
    EXPECT_FALSE(test::fileBytes(path).startsWith("\xef\xbb\xbf"));
    EXPECT_EQ(
        exportText({}),
        QByteArray(
            "Name\tPages\tSize\tType\tModified Date\tAccessed Date\tCreated Date\tLocation\n"));

    test::ScopedLanguage english("en_US.UTF-8");
    EXPECT_EQ(exportFileName(QDateTime(QDate(2026, 12, 5), QTime(13, 34, 35))),
              u"Export 05-Dec-2026 01-34-35 PM.txt"_s);
}
