#include "model/Numbering.h"

#include "model/ImageStamp.h"
#include "model/TextStamp.h"
#include "platform/PreferencesStore.h"
#include "support/ScopedPreferences.h"

#include <gtest/gtest.h>
#include <QFontDatabase>

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

TEST_F(NumberingTest, NewJobHasTheDefaults)
{
    Numbering job;
    EXPECT_EQ(job.pageRange(), AllPages);
    EXPECT_EQ(job.startPage(), 1);
    EXPECT_EQ(job.endPage(), 0);
    EXPECT_EQ(job.startNumber(), 1);
    EXPECT_EQ(job.numberSteps(), 1);
    EXPECT_EQ(job.marginUnit(), Points);
    EXPECT_EQ(job.marginLeft() + job.marginTop() + job.marginRight() + job.marginBottom(), 0.0);
    EXPECT_TRUE(job.stamps().empty());
    EXPECT_TRUE(job.isHighlightStamp());
    EXPECT_FALSE(job.isLivePreview());
    EXPECT_FALSE(job.isContinuousNumbering());
    EXPECT_FALSE(job.isUpdating());
    EXPECT_EQ(job.numberCounter(), 0);
    EXPECT_EQ(job.outputFolder(), QString());
    EXPECT_EQ(job.delegate(), nullptr);
}

TEST_F(NumberingTest, NewJobRestoresTheStoredJobAndFillsTheFontList)
{
    QVariantMap stored;
    stored.insert(u"startNumber"_s, qint64(100));
    stored.insert(u"numberSteps"_s, qint64(10));
    stored.insert(u"Stamps"_s, QVariantList{TextStamp().getData()});
    PreferencesStore::shared().setValue(u"NUMBERING"_s, stored);

    Numbering job;
    EXPECT_EQ(job.startNumber(), 100);
    EXPECT_EQ(job.numberSteps(), 10);
    EXPECT_EQ(job.startPage(), 0); // missing key
    ASSERT_EQ(job.stamps().size(), 1u);
    EXPECT_EQ(job.stamps()[0]->kind(), StampKind::Text);

    const QStringList families = QFontDatabase::families();
    ASSERT_EQ(job.fonts().size(), families.size());
    ASSERT_FALSE(families.isEmpty());
    EXPECT_EQ(job.fonts().first(), PDFFont::initWithFont(families.first(), -1, 12.0, false));
}

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

    EXPECT_EQ(Numbering::keyPathsForValuesAffectingIsSettingsChanged().size(), 14);
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
    Numbering job;
    job.setMarginUnit(Millimetres);
    job.setMarginTop(10);
    job.setMarginLeft(10);
    job.setIsMarginInPercentage(true);
    job.convertPointsToPercentage(QSizeF(600, 800));
    EXPECT_DOUBLE_EQ(job.marginTop(), 10 * 72 / 25.4 / 800 * 100);
    EXPECT_DOUBLE_EQ(job.marginLeft(), 10 * 72 / 25.4 / 600 * 100);
    EXPECT_EQ(job.marginRight(), 0.0);

    job.setIsMarginInPercentage(false);
    job.convertPointsToPercentage(QSizeF(600, 800));
    EXPECT_NEAR(job.marginTop(), 10.0, 1e-12);
    EXPECT_NEAR(job.marginLeft(), 10.0, 1e-12);
}

TEST_F(NumberingTest, ZeroReferenceSizeKeepsTheMargins)
{
    Numbering job;
    job.setMarginTop(36);
    job.setMarginLeft(18);
    job.setIsMarginInPercentage(true);
    job.convertPointsToPercentage(QSizeF(0, 0));
    EXPECT_EQ(job.marginTop(), 36.0);
    EXPECT_EQ(job.marginLeft(), 18.0);
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

TEST_F(NumberingTest, RomanNumeralsOfTheJob)
{
    EXPECT_EQ(Numbering::romanNumeralsFromInt(1994), u"mcmxciv"_s);
    EXPECT_EQ(Numbering::romanNumeralsFromInt(0), QString());
    const QString largest = Numbering::romanNumeralsFromInt(2147483647);
    EXPECT_EQ(largest.size(), 2147483 + 7);
    EXPECT_TRUE(largest.endsWith(u"mdcxlvii"_s));
}
