#include "model/ColorArchive.h"
#include "model/ImageStamp.h"
#include "model/Numbering.h"
#include "model/TextStamp.h"
#include "platform/PreferencesStore.h"
#include "platform/PropertyList.h"
#include "support/LogCapture.h"
#include "support/PdfTools.h"
#include "support/ScopedPreferences.h"
#include "support/StampFixtures.h"

#include <gtest/gtest.h>
#include <QFontDatabase>
#include <QImage>
#include <QRegularExpression>
#include <QSet>

using namespace Qt::StringLiterals;

using namespace veltrane;

namespace {

QSet<QString> keysOf(const QVariantMap& map)
{
    const QStringList keys = map.keys();
    return QSet<QString>(keys.begin(), keys.end());
}

QByteArray pngBytes(int w, int h, QColor color)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(color);
    return test::encodedPicture(image);
}

ImageStamp& imageAt(Numbering& job, size_t i)
{
    return static_cast<ImageStamp&>(*job.stamps().at(i));
}

// A job with one stamp of each kind, every stored field away from its default, as stored.
QVariantMap everyField()
{
    const QVariantMap font{{u"fontName"_s, u"DejaVu Sans"_s},
                           {u"fontID"_s, qint64(7)},
                           {u"fontSize"_s, 18.5},
                           {u"isStandard"_s, true},
                           {u"fontColor"_s, archiveColor(QColor(10, 20, 30, 128))}};
    const QVariantMap text{{u"isSelected"_s, false},
                           {u"label"_s, u"footer"_s},
                           {u"marginAnchor"_s, qint64(BottomMiddle)},
                           {u"isDrawUnderPDFContent"_s, true},
                           {u"isSymmetry"_s, true},
                           {u"font"_s, font},
                           {u"outlineWidth"_s, qint64(5)},
                           {u"outlineColor"_s, archiveColor(QColor(200, 0, 100))},
                           {u"isBold"_s, true},
                           {u"isItalic"_s, true},
                           {u"isUnderline"_s, true},
                           {u"isEmbedFont"_s, true},
                           {u"underlineStyle"_s, qint64(2)},
                           {u"numberFormat"_s, u"Page {0} of {1}"_s},
                           {u"paddingCharacter"_s, u"#"_s},
                           {u"paddingLength"_s, qint64(3)},
                           {u"numberType"_s, qint64(RomanNumbersCapital)},
                           {u"textOpacity"_s, qint64(55)},
                           {u"outlineOpacity"_s, qint64(45)},
                           {u"textRotation"_s, qint64(30)}};
    const QVariantMap image{{u"isSelected"_s, true},
                            {u"label"_s, u"logo"_s},
                            {u"marginAnchor"_s, qint64(TopRight)},
                            {u"isDrawUnderPDFContent"_s, false},
                            {u"isSymmetry"_s, false},
                            {u"stampImagePath"_s, u"/pictures/seal.png"_s},
                            {u"stampImage"_s, pngBytes(6, 4, Qt::red)},
                            {u"stampImageWidth"_s, qint64(120)},
                            {u"stampImageHeight"_s, qint64(80)},
                            {u"stampImageOpacity"_s, qint64(40)},
                            {u"stampImageRotation"_s, qint64(-15)}};
    return {{u"endPage"_s, qint64(40)},
            {u"hasLabel"_s, true},
            {u"isBackupFile"_s, true},
            {u"isContinuousNumbering"_s, true},
            {u"isMarginInPercentage"_s, true},
            {u"isSymmetryPage"_s, true},
            {u"labelPrefix"_s, u"Ref <&> "_s},
            {u"marginLeft"_s, 1.5},
            {u"marginTop"_s, 2.25},
            {u"marginRight"_s, 3.0},
            {u"marginBottom"_s, 4.125},
            {u"marginUnit"_s, qint64(Millimetres)},
            {u"numberSteps"_s, qint64(-2)},
            {u"outputFolder"_s, u"/srv/out put"_s},
            {u"pageRange"_s, qint64(EvenPages)},
            {u"startNumber"_s, qint64(100)},
            {u"startPage"_s, qint64(3)},
            {u"isHighlightStamp"_s, false},
            {u"isLivePreview"_s, true},
            {u"Stamps"_s, QVariantList{text, image}}};
}

class DictionaryTest : public ::testing::Test
{
protected:
    test::ScopedPreferences m_preferences;
};

} // namespace

// The stored key names are spelled out once, in everyField(): a key renamed on both the writing
// and the reading side passes every round trip but not this.
TEST_F(DictionaryTest, EveryStoredKeyIsWritten)
{
    const QVariantMap every = everyField();
    const QVariantMap text = every.value(u"Stamps"_s).toList().at(0).toMap();
    const QVariantMap data = Numbering().getData();
    EXPECT_EQ(keysOf(data), keysOf(every));
    const QVariantMap newText = TextStamp().getData();
    EXPECT_EQ(keysOf(newText), keysOf(text));
    EXPECT_EQ(keysOf(newText.value(u"font"_s).toMap()), keysOf(text.value(u"font"_s).toMap()));
    EXPECT_EQ(keysOf(ImageStamp().getData()),
              keysOf(every.value(u"Stamps"_s).toList().at(1).toMap()));

    // The defaults a new job and a new stamp start from.
    for (const char* key : {"numberSteps", "startNumber", "startPage"}) {
        EXPECT_EQ(data.value(QString::fromLatin1(key)).toLongLong(), 1) << key;
    }
    EXPECT_EQ(data.value(u"isHighlightStamp"_s), QVariant(true));
    EXPECT_EQ(newText.value(u"font"_s).toMap().value(u"fontName"_s), QVariant(u"Helvetica"_s));

    // The setters the editors use reach the stored fields.
    TextStamp set;
    set.font().setFontID(7);
    set.font().setIsStandard(true);
    set.setIsItalic(true);
    set.setIsEmbedFont(true);
    const QVariantMap stored = set.getData();
    for (const char* key : {"fontID", "isStandard"}) {
        EXPECT_EQ(stored.value(u"font"_s).toMap().value(QString::fromLatin1(key)),
                  text.value(u"font"_s).toMap().value(QString::fromLatin1(key)))
            << key;
    }
    for (const char* key : {"isItalic", "isEmbedFont"}) {
        EXPECT_EQ(stored.value(QString::fromLatin1(key)), text.value(QString::fromLatin1(key)))
            << key;
    }
}

TEST_F(DictionaryTest, MissingKeysGiveTheStoredDefaultsNotTheNewObjectDefaults)
{
    Numbering job;
    ASSERT_TRUE(job.setData(QVariantMap{}));
    EXPECT_EQ(job.numberSteps(), 0);
    EXPECT_EQ(job.startNumber(), 0);
    EXPECT_EQ(job.startPage(), 0);
    EXPECT_FALSE(job.isHighlightStamp());
    EXPECT_TRUE(job.stamps().empty());

    TextStamp text;
    text.font().setFontColor(Qt::blue);
    text.setOutlineColor(Qt::green);
    text.setData(QVariantMap{{u"font"_s, QVariantMap{}}});
    EXPECT_FALSE(text.isSelected());
    EXPECT_EQ(text.numberFormat(), QString());
    EXPECT_EQ(text.paddingCharacter(), QString());
    EXPECT_EQ(text.textOpacity(), 0);
    EXPECT_EQ(text.numberType(), PlainText);
    EXPECT_EQ(text.font().fontName(), QString());
    EXPECT_EQ(text.font().fontSize(), 0.0);
    EXPECT_EQ(text.font().fontColor(), QColor(Qt::blue)); // no colour data: unchanged
    EXPECT_EQ(text.outlineColor(), QColor(Qt::green));
    EXPECT_EQ(text.composeText(1, 1), QString());
}

TEST_F(DictionaryTest, ValuesOfTheWrongKindAreReadAsTheFieldsType)
{
    Numbering job;
    QVariantMap data;
    data.insert(u"startNumber"_s, u"  12abc"_s);
    data.insert(u"numberSteps"_s, 3.9);
    data.insert(u"startPage"_s, true);
    data.insert(u"endPage"_s, QVariantList{qint64(5)});
    data.insert(u"isContinuousNumbering"_s, u"YES"_s);
    data.insert(u"isBackupFile"_s, u"no"_s);
    data.insert(u"hasLabel"_s, qint64(2));
    data.insert(u"isLivePreview"_s, u"007"_s);
    data.insert(u"marginLeft"_s, u"12.5mm"_s);
    data.insert(u"marginTop"_s, qint64(7));
    data.insert(u"marginRight"_s, u"wide"_s);
    data.insert(u"marginBottom"_s, std::numeric_limits<double>::quiet_NaN());
    data.insert(u"labelPrefix"_s, qint64(5));
    data.insert(u"Stamps"_s, u"not a list"_s);
    ASSERT_TRUE(job.setData(data));
    EXPECT_EQ(job.startNumber(), 12);
    EXPECT_EQ(job.numberSteps(), 3);
    EXPECT_EQ(job.startPage(), 1);
    EXPECT_EQ(job.endPage(), 0);
    EXPECT_TRUE(job.isContinuousNumbering());
    EXPECT_FALSE(job.isBackupFile());
    EXPECT_TRUE(job.hasLabel());
    EXPECT_TRUE(job.isLivePreview());
    EXPECT_EQ(job.marginLeft(), 12.5);
    EXPECT_EQ(job.marginTop(), 7.0);
    EXPECT_EQ(job.marginRight(), 0.0);
    EXPECT_EQ(job.marginBottom(), 0.0);
    EXPECT_EQ(job.labelPrefix(), QString());
    EXPECT_TRUE(job.stamps().empty());
}

TEST_F(DictionaryTest, IntegersAreStoredAs32Bit)
{
    Numbering job;
    job.setStartNumber(5000000000LL);
    job.setEndPage(-7);
    const QVariantMap data = job.getData();
    EXPECT_EQ(data.value(u"startNumber"_s).toLongLong(), 705032704);
    EXPECT_EQ(data.value(u"endPage"_s).toLongLong(), -7);
}

TEST_F(DictionaryTest, StampsAreRecognisedByTheirKeys)
{
    QVariantMap text = TextStamp().getData();
    text.insert(u"label"_s, u"first"_s);
    QVariantMap image = ImageStamp().getData();
    image.insert(u"label"_s, u"second"_s);
    QVariantMap neither;
    neither.insert(u"label"_s, u"dropped"_s);

    Numbering job;
    ASSERT_TRUE(job.setData(
        QVariantMap{{u"Stamps"_s, QVariantList{image, neither, u"junk"_s, qint64(3), text}}}));
    ASSERT_EQ(job.stamps().size(), 2u);
    EXPECT_EQ(job.stamps()[0]->kind(), StampKind::Image);
    EXPECT_EQ(job.stamps()[0]->label(), u"second"_s);
    EXPECT_EQ(job.stamps()[1]->kind(), StampKind::Text);
    EXPECT_EQ(job.stamps()[1]->label(), u"first"_s);
}

TEST_F(DictionaryTest, ProfileRoundTripInBothEncodings)
{
    const QVariantMap every = everyField();
    Numbering job;
    ASSERT_TRUE(job.setData(every));
    // Stored as whole degrees.
    static_cast<TextStamp&>(*job.stamps().at(0)).setTextRotation(30.7);
    // The password a preview unlocks a file with is the file's, never the profile's.
    job.setPdfOpenPassword(u"s3cret-pw"_s);
    const QString xmlPath = m_preferences.folder() + u"/stamps.vtprofile"_s;
    test::LogCapture log;
    ASSERT_TRUE(job.save(xmlPath));
    const QByteArray xml = test::fileBytes(xmlPath);
    EXPECT_TRUE(xml.startsWith("<?xml"));
    EXPECT_FALSE(xml.contains("s3cret-pw"));
    EXPECT_TRUE(QString::fromUtf8(xml).contains(
        QRegularExpression(u"<key>textRotation</key>\\s*<integer>30</integer>"_s)));
    const QString binaryPath = test::writeFile(m_preferences.folder() + u"/binary.vtprofile"_s,
                                               toBinaryPropertyList(job.getData()));

    for (const QString& path : {xmlPath, binaryPath}) {
        Numbering loaded;
        ASSERT_TRUE(loaded.load(path)) << path.toStdString();
        EXPECT_EQ(loaded.getData(), every) << path.toStdString();
        const QImage picture = imageAt(loaded, 1).cacheImage();
        EXPECT_EQ(picture.size(), QSize(6, 4));
        EXPECT_EQ(picture.pixelColor(2, 2), QColor(Qt::red));
    }
    EXPECT_TRUE(log.lines().isEmpty());
}

TEST_F(DictionaryTest, BadProfilesLeaveTheJobUntouchedWithOneLogLine)
{
    const QString folder = m_preferences.folder() + QLatin1Char('/');
    const QByteArray xml = toXmlPropertyList(everyField());
    const QByteArray bin = toBinaryPropertyList(everyField());
    const QStringList paths = {
        folder + u"missing.vtprofile"_s,
        test::writeFile(folder + u"damaged.vtprofile"_s, xml.left(xml.size() - 40)),
        test::writeFile(folder + u"damaged-binary.vtprofile"_s, bin.left(bin.size() - 10)),
        test::writeFile(folder + u"array.vtprofile"_s, toXmlPropertyList(QVariantList{qint64(1)})),
        test::writeFile(folder + u"empty.vtprofile"_s, QByteArray()),
    };
    for (const QString& path : paths) {
        Numbering job;
        ASSERT_TRUE(job.setData(everyField()));
        test::LogCapture log;
        EXPECT_FALSE(job.load(path)) << path.toStdString();
        EXPECT_EQ(job.getData(), everyField()) << path.toStdString();
        ASSERT_EQ(log.lines().size(), 1) << path.toStdString();
        EXPECT_TRUE(log.lines().first().startsWith(u"Error in [load:] : "_s));
    }
}

TEST_F(DictionaryTest, FailedSaveReturnsFalseAndLogs)
{
    Numbering job;
    test::LogCapture log;
    EXPECT_FALSE(job.save(m_preferences.folder() + u"/no/such/folder/x.vtprofile"_s));
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_TRUE(log.lines().first().startsWith(u"Error in [save:] : "_s));
}

TEST_F(DictionaryTest, ANewJobStartsFromTheSynchronizedOneAndTheSystemFonts)
{
    {
        Numbering job;
        ASSERT_TRUE(job.setData(everyField()));
        job.synchronize();
    }
    PreferencesStore::shared().setFilePath(m_preferences.path()); // read back from disk
    Numbering restored;
    EXPECT_EQ(restored.getData(), everyField());

    const QStringList families = QFontDatabase::families();
    ASSERT_FALSE(families.isEmpty());
    ASSERT_EQ(restored.fonts().size(), families.size());
    EXPECT_EQ(restored.fonts().first(), PDFFont::initWithFont(families.first(), -1, 12.0, false));
}

TEST(ColorArchive, RoundTripAndRejection)
{
    const QColor colour(12, 34, 56, 78);
    const QByteArray data = archiveColor(colour);
    EXPECT_EQ(data.size(), 38);
    EXPECT_TRUE(data.startsWith("VCLR\x01\x00"));
    EXPECT_EQ(unarchiveColor(data), colour);

    QByteArray outOfRange = data;
    outOfRange[6] = char(0x7f); // red becomes a huge double
    for (const QByteArray& bad : {QByteArray(), data.left(37), data + 'x', outOfRange,
                                  QByteArray("XCLR").append(data.mid(4))}) {
        EXPECT_FALSE(unarchiveColor(bad).has_value());
    }

    TextStamp stamp;
    stamp.setOutlineColor(Qt::magenta);
    QVariantMap dict = stamp.getData();
    dict.insert(u"outlineColor"_s, QByteArray("garbage"));
    stamp.setData(dict);
    EXPECT_EQ(stamp.outlineColor(), QColor(Qt::magenta));
}
