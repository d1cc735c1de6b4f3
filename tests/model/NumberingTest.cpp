#include "model/Numbering.h"

#include "model/ImageStamp.h"
#include "model/TextStamp.h"
#include "support/ScopedPreferences.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

using namespace veltrane;

namespace {

class CountingDelegate : public NumberingDelegate
{
public:
    void PropertyChanged(Numbering* number) override
    {
        ++count;
        last = number;
    }
    int count = 0;
    Numbering* last = nullptr;
};

class NumberingTest : public ::testing::Test
{
protected:
    test::ScopedPreferences m_preferences;
};

} // namespace

TEST_F(NumberingTest, ChangeNoticesFollowTheUpdateBracket)
{
    Numbering job;
    CountingDelegate delegate;
    job.setDelegate(&delegate);

    job.beginUpdate();
    job.setHasLabel(true);
    job.setIsContinuousNumbering(true);
    job.setLabelPrefix(u"A-"_s);
    job.setMarginLeft(1);
    job.setMarginTop(2);
    job.setMarginRight(3);
    job.setMarginBottom(4);
    job.setPageRange(OddPages);
    job.setStartNumber(5);
    job.setNumberSteps(2);
    EXPECT_EQ(delegate.count, 0);
    job.endUpdate(true);
    EXPECT_EQ(delegate.count, 1);
    EXPECT_EQ(delegate.last, &job);

    job.beginUpdate();
    job.setStartPage(3);
    job.endUpdate(false);
    job.beginUpdate();
    job.setEndPage(9);
    job.cancelUpdate();
    EXPECT_EQ(delegate.count, 1);

    // Outside a bracket every tracked setter notifies, even with an unchanged value.
    job.setStartPage(3);
    job.setEndPage(9);
    job.setIsHighlightStamp(false);
    job.setIsLivePreview(true);
    job.setIsSettingsChanged(true);
    EXPECT_EQ(delegate.count, 6);

    // Untracked fields never notify.
    job.setOutputFolder(u"/tmp"_s);
    job.setIsBackupFile(true);
    job.setIsSymmetryPage(true);
    job.setIsMarginInPercentage(true);
    job.setMarginUnit(Inches);
    job.setStamps({});
    job.setDateTaken(u"2011:07:04 15:30:00"_s);
    job.setPdfOpenPassword(u"secret"_s);
    EXPECT_EQ(delegate.count, 6);

    // The fields that mark the settings changed are stored fields of the job, by their keys.
    const QStringList keys = Numbering::keyPathsForValuesAffectingIsSettingsChanged();
    EXPECT_EQ(keys.size(), 14);
    for (const QString& key : keys) {
        EXPECT_TRUE(job.getData().contains(key)) << key.toStdString();
    }
}

TEST_F(NumberingTest, SetDataSendsNoNotice)
{
    Numbering job;
    CountingDelegate delegate;
    job.setDelegate(&delegate);
    EXPECT_TRUE(job.setData(QVariantMap{{u"startNumber"_s, qint64(4)}}));
    EXPECT_FALSE(job.setData(QVariantList{}));
    EXPECT_EQ(delegate.count, 0);
    EXPECT_FALSE(job.isUpdating());
}

TEST_F(NumberingTest, LengthsTurnIntoPoints)
{
    Numbering job;
    job.setMarginUnit(Millimetres);
    EXPECT_DOUBLE_EQ(job.convertToPointUnit(25.4), 72.0);
    job.setMarginUnit(Inches);
    EXPECT_DOUBLE_EQ(job.convertToPointUnit(1), 72.0);
    job.setMarginUnit(Points);
    EXPECT_DOUBLE_EQ(job.convertToPointUnit(13.7), 13.7);
    job.setMarginUnit(7);
    EXPECT_DOUBLE_EQ(job.convertToPointUnit(13.7), 13.7);
}

TEST_F(NumberingTest, ChangingTheUnitRescalesPositiveMarginsOnly)
{
    struct Row
    {
        qint32 from, to;
        double expected;
    };
    const Row rows[] = {
        {Points, Millimetres, 72 / 72.0 * 25.4},
        {Points, Inches, 1.0},
        {Millimetres, Points, 72 * 72 / 25.4},
        {Millimetres, Inches, 72 / 25.4},
        {Inches, Points, 72 * 72.0},
        {Inches, Millimetres, 72 * 25.4},
        {Points, Points, 72},
        {Millimetres, 9, 72},
    };
    for (const Row& row : rows) {
        Numbering job;
        job.setMarginLeft(72);
        job.setMarginTop(0);
        job.setMarginRight(-5);
        job.setMarginBottom(72);
        job.setMarginUnit(row.to);
        job.convertPoints(row.from);
        EXPECT_DOUBLE_EQ(job.marginLeft(), row.expected) << row.from << "->" << row.to;
        EXPECT_DOUBLE_EQ(job.marginBottom(), row.expected);
        EXPECT_EQ(job.marginTop(), 0.0);
        EXPECT_EQ(job.marginRight(), -5.0);
    }
}

TEST_F(NumberingTest, SwitchingToPercentagesAndBack)
{
    struct Row
    {
        const char* name;
        qint32 unit;
        QSizeF size;
        double top, left, topPercent, leftPercent;
    };
    const Row rows[] = {
        {"Millimetres", Millimetres, QSizeF(600, 800), 10, 10, 10 * 72 / 25.4 / 800 * 100,
         10 * 72 / 25.4 / 600 * 100},
        // A zero reference (a collapsed preview) keeps the margins, not infinities.
        {"ZeroReferenceSize", Points, QSizeF(0, 0), 36, 18, 36, 18},
    };
    for (const Row& row : rows) {
        Numbering job;
        job.setMarginUnit(row.unit);
        job.setMarginTop(row.top);
        job.setMarginLeft(row.left);
        job.setIsMarginInPercentage(true);
        job.convertPointsToPercentage(row.size);
        EXPECT_DOUBLE_EQ(job.marginTop(), row.topPercent) << row.name;
        EXPECT_DOUBLE_EQ(job.marginLeft(), row.leftPercent) << row.name;
        EXPECT_EQ(job.marginRight(), 0.0) << row.name;

        job.setIsMarginInPercentage(false);
        job.convertPointsToPercentage(row.size);
        EXPECT_NEAR(job.marginTop(), row.top, 1e-12) << row.name;
        EXPECT_NEAR(job.marginLeft(), row.left, 1e-12) << row.name;
    }
}

TEST_F(NumberingTest, ResetRestartsNumberingAndMirrorStates)
{
    Numbering job;
    auto stamp = std::make_unique<TextStamp>();
    stamp->setMarginAnchor(TopLeft);
    stamp->getNextMarginAnchor(true, TopLeft);
    job.stamps().push_back(std::move(stamp));
    job.setStartNumber(-3);
    job.reset();
    EXPECT_EQ(job.numberCounter(), -3);
    EXPECT_EQ(static_cast<TextStamp&>(*job.stamps()[0]).lastMarginAnchor(), 0);
}

TEST_F(NumberingTest, CopyIsDeepAndDetached)
{
    Numbering job;
    auto text = std::make_unique<TextStamp>();
    text->setNumberFormat(u"Page {0}"_s);
    job.stamps().push_back(std::move(text));
    job.setStartNumber(9);
    job.reset();
    CountingDelegate delegate;
    job.setDelegate(&delegate);

    Numbering copy(job);
    EXPECT_EQ(copy.delegate(), nullptr);
    EXPECT_EQ(copy.numberCounter(), 9);
    EXPECT_EQ(copy.getData(), job.getData());
    EXPECT_EQ(copy.fonts().size(), job.fonts().size());
    static_cast<TextStamp&>(*copy.stamps()[0]).setNumberFormat(u"changed"_s);
    copy.setStartNumber(1);
    EXPECT_EQ(static_cast<TextStamp&>(*job.stamps()[0]).numberFormat(), u"Page {0}"_s);
    EXPECT_EQ(job.startNumber(), 9);
    EXPECT_EQ(delegate.count, 0);
}

// No upper limit, and no blow-up at the largest value.
TEST_F(NumberingTest, RomanNumeralsOfTheJob)
{
    const QString largest = Numbering::romanNumeralsFromInt(2147483647);
    EXPECT_EQ(largest.size(), 2147483 + 7);
    EXPECT_TRUE(largest.endsWith(u"mdcxlvii"_s));
}
