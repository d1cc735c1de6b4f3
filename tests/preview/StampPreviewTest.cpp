#include "model/Numbering.h"
#include "model/TextStamp.h"
#include "preview/PageCache.h"
#include "preview/PreviewLayout.h"
#include "processing/PageLayout.h"
#include "support/PdfTools.h"
#include "support/ScopedPreferences.h"
#include "support/StampFixtures.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

using namespace veltrane;

namespace {

class StampPreviewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        clearPreviewPageCache();
        m_job.setMarginLeft(36);
        m_job.setMarginTop(36);
        m_job.setMarginRight(36);
        m_job.setMarginBottom(36);
        auto label = std::make_unique<TextStamp>();
        label->setNumberFormat(u"{0}/{1}"_s);
        label->setMarginAnchor(BottomRight);
        m_job.stamps().push_back(std::move(label));
        m_job.stamps().push_back(test::blockStamp(Qt::green, TopLeft, 30));
    }

    // The live page as it must look: the page, stamped with `number` of `total`.
    QImage expected(const QString& path, int page, qint64 number, qint64 total, int highlight)
    {
        Numbering copy(m_job);
        copy.reset();
        copy.setNumberCounter(number);
        QImage image = cachedPreviewPage(path, page, QString());
        copy.drawOnImage(image, number, total, highlight, true);
        return image;
    }

    test::ScopedPreferences m_preferences;
    QTemporaryDir m_dir;
    Numbering m_job;
};

} // namespace

TEST_F(StampPreviewTest, SamplePageShowsMarginsAndStamps)
{
    const QImage page = m_job.preview2(4, QSizeF(595, 842), 1);
    ASSERT_EQ(page.size(), QSize(595, 842));
    EXPECT_NEAR(qAlpha(page.pixel(10, 10)), 127, 1);      // the wash outside the margins
    EXPECT_EQ(page.pixel(300, 400), qRgb(255, 255, 255)); // white paper inside
    int dark = 0; // the dashed outline along the left margin: every other pair of pixels
    for (int y = 100; y < 700; ++y) {
        dark += page.pixel(36, y) == qRgb(0, 0, 0);
    }
    EXPECT_NEAR(dark, 300, 10);
    const QColor highlighted = page.pixelColor(50, 50); // green block under the red marker
    EXPECT_NEAR(highlighted.red(), 127, 2);
    EXPECT_NEAR(highlighted.green(), 127, 2);

    m_job.stamps()[1]->setIsSelected(false);
    EXPECT_EQ(m_job.preview2(4, QSizeF(595, 842), 1).pixel(50, 50), qRgb(255, 255, 255));
}

TEST_F(StampPreviewTest, KeptPageIsReusedUntilTheFileChanges)
{
    const QString pdf = m_dir.filePath(u"page.pdf"_s);
    test::writeBodyPdf(pdf, 1, QSizeF(595, 842));
    const QDateTime when = QFileInfo(pdf).lastModified();
    const qint64 size = QFileInfo(pdf).size();
    auto preview = [&] { return m_job.previewLive(pdf, 0, 1, {1}, 0, QSizeF(595, 842), -1); };
    auto backdate = [&] {
        QFile file(pdf);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(when, QFileDevice::FileModificationTime));
    };
    const QImage cold = preview();
    ASSERT_EQ(cold.size(), QSize(595, 842));

    // Same name, size and time: the kept page, the file not read again (junk would not show).
    test::writeFile(pdf, QByteArray(size, 'x'));
    backdate();
    EXPECT_EQ(preview(), cold);

    // Another file of another size at the same time: its page, not the kept one.
    test::writeBodyPdf(pdf, 2, QSizeF(1000, 300));
    backdate();
    ASSERT_NE(QFileInfo(pdf).size(), size);
    EXPECT_EQ(preview().size(), QSize(1000, 300));
}

TEST(PreviewLayout, ViewFrameAndPageTotal)
{
    const QRectF frame = resizePreview(QSizeF(400, 530));
    EXPECT_DOUBLE_EQ(frame.height(), 500);
    EXPECT_DOUBLE_EQ(frame.width(), 353.0612244897959);
    EXPECT_DOUBLE_EQ(frame.x(), 23.469387755102048);
    EXPECT_DOUBLE_EQ(frame.y(), 15);

    test::ScopedPreferences preferences;
    Numbering job;
    EXPECT_EQ(previewPageTotal(job, {}), 4);
    EXPECT_EQ(previewPageTotal(job, {3, 5}), 3);
    job.setIsContinuousNumbering(true);
    EXPECT_EQ(previewPageTotal(job, {3, 5}), 8);
    job.setEndPage(6);
    EXPECT_EQ(previewPageTotal(job, {3, 5}), 6);
}

TEST_F(StampPreviewTest, LiveNumberingFollowsTheRunRules)
{
    const QString five = m_dir.filePath(u"five.pdf"_s);
    test::writeBodyPdf(five, 5, QSizeF(300, 300));
    const QList<qint64> pages{3, 5};
    struct Row
    {
        const char* name;
        bool continuous;
        qint32 range;
        qint64 startPage, endPage;
        int page;
        qint64 number; // -1: the page is shown without stamps
        qint64 total, shownTotal;
        int highlight;
    };
    const Row rows[] = {
        {"restarting", false, AllPages, 1, 0, 3, 3, 8, 8, -1},
        {"no total given: the file's own", false, AllPages, 1, 0, 2, 2, 0, 5, 1},
        {"continuous", true, AllPages, 1, 0, 3, 6, 8, 8, -1},
        {"even pages", true, EvenPages, 1, 0, 4, 3, 8, 8, -1},
        {"odd page left out", true, EvenPages, 1, 0, 3, -1, 8, 8, -1},
        {"from page 2", true, AllPages, 2, 0, 3, 4, 8, 8, -1},
        {"up to page 3", true, AllPages, 1, 3, 3, 6, 8, 8, -1},
        {"past the end page", true, AllPages, 1, 3, 4, -1, 8, 8, -1},
    };
    for (const Row& row : rows) {
        m_job.setIsContinuousNumbering(row.continuous);
        m_job.setPageRange(row.range);
        m_job.setStartPage(row.startPage);
        m_job.setEndPage(row.endPage);
        const QImage shown =
            m_job.previewLive(five, 1, row.page, pages, row.total, QSizeF(595, 842), row.highlight);
        if (row.number < 0) {
            EXPECT_EQ(shown, cachedPreviewPage(five, row.page, QString())) << row.name;
        } else {
            EXPECT_EQ(shown, expected(five, row.page, row.number, row.shownTotal, row.highlight))
                << row.name;
            EXPECT_NE(shown,
                      expected(five, row.page, row.number + 1, row.shownTotal, row.highlight))
                << row.name;
        }
    }
}

TEST_F(StampPreviewTest, UnreadablePagesFallBackToTheSamplePage)
{
    const QString one = m_dir.filePath(u"one.pdf"_s);
    test::writeBodyPdf(one, 1, QSizeF(400, 600));
    const QString huge = m_dir.filePath(u"huge.pdf"_s);
    test::writeBodyPdf(huge, 1, QSizeF(14400, 14400)); // 200 x 200 inches
    const QString junk = test::writeFile(m_dir.filePath(u"junk.pdf"_s), "%PDF-1.4 broken");
    const QImage sample = m_job.preview2(7, QSizeF(300, 200), -1);
    auto live = [&](const QString& file, int page, const QList<qint64>& pages) {
        return m_job.previewLive(file, 0, page, pages, 7, QSizeF(300, 200), -1);
    };
    EXPECT_EQ(live(m_dir.filePath(u"missing.pdf"_s), 1, {3}), sample);
    EXPECT_EQ(live(one, 2, {1}), sample); // past the end
    EXPECT_EQ(live(one, 1, {}), sample);  // no page counts
    EXPECT_EQ(live(huge, 1, {1}), sample);
    EXPECT_EQ(live(junk, 1, {1}), sample);
    EXPECT_EQ(live(test::corpusFile(u"qpdf_c-r6-in.pdf"_s), 1, {30}), sample); // no password
}

TEST(PreviewMargins, PercentagesOfTheSamplePage)
{
    test::ScopedPreferences preferences;
    Numbering job;
    job.setIsMarginInPercentage(true);
    job.setMarginLeft(10);
    job.setMarginTop(10);
    job.setMarginRight(10);
    job.setMarginBottom(10);
    const QRectF r = imageMarginRect(job, QSizeF(595, 842));
    EXPECT_DOUBLE_EQ(r.x(), 59.5);
    EXPECT_DOUBLE_EQ(r.y(), 84.2);
    EXPECT_DOUBLE_EQ(r.width(), 476);
    EXPECT_NEAR(r.height(), 673.6, 1e-9);
}
