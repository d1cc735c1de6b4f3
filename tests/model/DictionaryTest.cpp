#include "model/ColorArchive.h"
#include "model/ImageStamp.h"
#include "model/Numbering.h"
#include "model/TextStamp.h"
#include "platform/PreferencesStore.h"
#include "platform/PropertyList.h"
#include "support/LogCapture.h"
#include "support/ScopedPreferences.h"
#include "support/StampFixtures.h"

#include <gtest/gtest.h>
#include <QBuffer>
#include <QFile>
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

QSet<QString> keySet(std::initializer_list<const char*> names)
{
    QSet<QString> out;
    for (const char* n : names) {
        out.insert(QString::fromLatin1(n));
    }
    return out;
}

QByteArray pngBytes(int w, int h, QColor color)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(color);
    return test::encodedPicture(image);
}

TextStamp& textAt(Numbering& job, size_t i)
{
    return static_cast<TextStamp&>(*job.stamps().at(i));
}

ImageStamp& imageAt(Numbering& job, size_t i)
{
    return static_cast<ImageStamp&>(*job.stamps().at(i));
}

// A job with one stamp of each kind, every stored field away from its default.
void fillJob(Numbering& job)
{
    job.setEndPage(40);
    job.setHasLabel(true);
    job.setIsBackupFile(true);
    job.setIsContinuousNumbering(true);
    job.setIsMarginInPercentage(true);
    job.setIsSymmetryPage(true);
    job.setLabelPrefix(u"Ref <&> "_s);
    job.setMarginLeft(1.5);
    job.setMarginTop(2.25);
    job.setMarginRight(3);
    job.setMarginBottom(4.125);
    job.setMarginUnit(Millimetres);
    job.setNumberSteps(-2);
    job.setOutputFolder(u"/srv/out put"_s);
    job.setPageRange(EvenPages);
    job.setStartNumber(100);
    job.setStartPage(3);
    job.setIsHighlightStamp(false);
    job.setIsLivePreview(true);

    auto text = std::make_unique<TextStamp>();
    text->setIsSelected(false);
    text->setLabel(u"footer"_s);
    text->setMarginAnchor(BottomMiddle);
    text->setIsDrawUnderPDFContent(true);
    text->setIsSymmetry(true);
    text->font().setFontName(u"DejaVu Sans"_s);
    text->font().setFontSize(18.5);
    text->font().setFontID(7);
    text->font().setIsStandard(true);
    text->font().setFontColor(QColor(10, 20, 30, 128));
    text->setOutlineWidth(5);
    text->setOutlineColor(QColor(200, 0, 100));
    text->setIsBold(true);
    text->setIsItalic(true);
    text->setIsUnderline(true);
    text->setIsEmbedFont(true);
    text->setUnderlineStyle(2);
    text->setNumberFormat(u"Page {0} of {1}"_s);
    text->setPaddingCharacter(u"#"_s);
    text->setPaddingLength(3);
    text->setNumberType(RomanNumbersCapital);
    text->setTextOpacity(55);
    text->setOutlineOpacity(45);
    text->setTextRotation(30.7);
    job.stamps().push_back(std::move(text));

    auto image = std::make_unique<ImageStamp>();
    image->setLabel(u"logo"_s);
    image->setMarginAnchor(TopRight);
    image->setStampImagePath(u"/pictures/seal.png"_s);
    image->setStampImage(pngBytes(6, 4, Qt::red));
    image->setStampImageWidth(120);
    image->setStampImageHeight(80);
    image->setStampImageOpacity(40);
    image->setStampImageRotation(-15);
    job.stamps().push_back(std::move(image));
}

class DictionaryTest : public ::testing::Test
{
protected:
    test::ScopedPreferences m_preferences;
};

} // namespace

TEST_F(DictionaryTest, EveryKeyIsWrittenWithItsDefault)
{
    Numbering job;
    const QVariantMap data = job.getData();
    EXPECT_EQ(keysOf(data), keySet({"endPage",
                                    "hasLabel",
                                    "isBackupFile",
                                    "isContinuousNumbering",
                                    "isMarginInPercentage",
                                    "isSymmetryPage",
                                    "labelPrefix",
                                    "marginLeft",
                                    "marginTop",
                                    "marginRight",
                                    "marginBottom",
                                    "marginUnit",
                                    "numberSteps",
                                    "outputFolder",
                                    "pageRange",
                                    "startNumber",
                                    "startPage",
                                    "isHighlightStamp",
                                    "isLivePreview",
                                    "Stamps"}));
    EXPECT_EQ(data.value(u"Stamps"_s), QVariant(QVariantList{}));
    EXPECT_EQ(data.value(u"numberSteps"_s).toLongLong(), 1);
    EXPECT_EQ(data.value(u"startNumber"_s).toLongLong(), 1);
    EXPECT_EQ(data.value(u"startPage"_s).toLongLong(), 1);
    EXPECT_EQ(data.value(u"isHighlightStamp"_s), QVariant(true));
    EXPECT_EQ(data.value(u"labelPrefix"_s), QVariant(QString()));

    const QVariantMap text = TextStamp().getData();
    EXPECT_EQ(keysOf(text),
              keySet({"isSelected",     "label",        "marginAnchor",     "isDrawUnderPDFContent",
                      "isSymmetry",     "font",         "outlineWidth",     "outlineColor",
                      "isBold",         "isItalic",     "isUnderline",      "isEmbedFont",
                      "underlineStyle", "numberFormat", "paddingCharacter", "paddingLength",
                      "numberType",     "textOpacity",  "outlineOpacity",   "textRotation"}));
    EXPECT_EQ(keysOf(text.value(u"font"_s).toMap()),
              keySet({"fontName", "fontID", "fontSize", "isStandard", "fontColor"}));
    EXPECT_EQ(text.value(u"numberFormat"_s), QVariant(u"{0} of {1}"_s));
    EXPECT_EQ(text.value(u"font"_s).toMap().value(u"fontName"_s), QVariant(u"Helvetica"_s));

    const QVariantMap image = ImageStamp().getData();
    EXPECT_EQ(keysOf(image),
              keySet({"isSelected", "label", "marginAnchor", "isDrawUnderPDFContent", "isSymmetry",
                      "stampImagePath", "stampImage", "stampImageWidth", "stampImageHeight",
                      "stampImageOpacity", "stampImageRotation"}));
    EXPECT_EQ(image.value(u"stampImage"_s), QVariant(QByteArray()));
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

TEST_F(DictionaryTest, ProfileRoundTripThroughAnXmlFile)
{
    Numbering job;
    fillJob(job);
    // The password a preview unlocks a file with is the file's, never the profile's.
    job.setPdfOpenPassword(u"s3cret-pw"_s);
    const QString path = m_preferences.folder() + u"/stamps.vtprofile"_s;
    test::LogCapture log;
    ASSERT_TRUE(job.save(path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray xml = file.readAll();
    EXPECT_TRUE(xml.startsWith("<?xml"));
    EXPECT_FALSE(xml.contains("s3cret-pw"));
    EXPECT_TRUE(QString::fromUtf8(xml).contains(
        QRegularExpression(u"<key>textRotation</key>\\s*<integer>30</integer>"_s)));

    Numbering loaded;
    ASSERT_TRUE(loaded.load(path));
    EXPECT_TRUE(log.lines().isEmpty());
    EXPECT_EQ(loaded.startNumber(), 100);
    EXPECT_EQ(loaded.numberSteps(), -2);
    EXPECT_EQ(loaded.marginBottom(), 4.125);
    EXPECT_EQ(loaded.labelPrefix(), u"Ref <&> "_s);
    EXPECT_EQ(loaded.outputFolder(), u"/srv/out put"_s);
    ASSERT_EQ(loaded.stamps().size(), 2u);

    const TextStamp& text = textAt(loaded, 0);
    EXPECT_EQ(text.textRotation(), 30.0);
    EXPECT_EQ(text.font().fontColor(), QColor(10, 20, 30, 128));
    EXPECT_EQ(text.outlineColor(), QColor(200, 0, 100));
    EXPECT_EQ(text.font().fontName(), u"DejaVu Sans"_s);
    EXPECT_EQ(text.font().fontSize(), 18.5);
    EXPECT_EQ(text.numberType(), RomanNumbersCapital);
    EXPECT_EQ(text.marginAnchor(), BottomMiddle);
    EXPECT_FALSE(text.isSelected());
    EXPECT_TRUE(text.isDrawUnderPDFContent());

    const ImageStamp& image = imageAt(loaded, 1);
    EXPECT_EQ(image.stampImage(), imageAt(job, 1).stampImage());
    EXPECT_EQ(image.cacheImage().size(), QSize(6, 4));
    EXPECT_EQ(image.cacheImage().pixelColor(2, 2), QColor(Qt::red));
    EXPECT_EQ(image.stampImageRotation(), -15);

    // Everything stored survives, except the fractional rotation.
    textAt(job, 0).setTextRotation(30);
    EXPECT_EQ(loaded.getData(), job.getData());
}

TEST_F(DictionaryTest, ProfileInBinaryEncodingLoads)
{
    Numbering job;
    fillJob(job);
    const QString path = m_preferences.folder() + u"/binary.vtprofile"_s;
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(toBinaryPropertyList(job.getData()));
    file.close();

    Numbering loaded;
    ASSERT_TRUE(loaded.load(path));
    textAt(job, 0).setTextRotation(30);
    EXPECT_EQ(loaded.getData(), job.getData());
}

TEST_F(DictionaryTest, BadProfilesLeaveTheJobUntouchedWithOneLogLine)
{
    const QString folder = m_preferences.folder();
    auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile f(folder + QLatin1Char('/') + name);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return f.fileName();
    };
    Numbering reference;
    fillJob(reference);
    const QByteArray xml = toXmlPropertyList(reference.getData());
    const QByteArray bin = toBinaryPropertyList(reference.getData());
    const QStringList paths = {
        folder + u"/missing.vtprofile"_s,
        write(u"damaged.vtprofile"_s, xml.left(xml.size() - 40)),
        write(u"damaged-binary.vtprofile"_s, bin.left(bin.size() - 10)),
        write(u"array.vtprofile"_s, toXmlPropertyList(QVariantList{qint64(1)})),
        write(u"empty.vtprofile"_s, QByteArray()),
    };
    for (const QString& path : paths) {
        Numbering job;
        fillJob(job);
        const QVariantMap before = job.getData();
        test::LogCapture log;
        EXPECT_FALSE(job.load(path)) << path.toStdString();
        EXPECT_EQ(job.getData(), before);
        ASSERT_EQ(log.lines().size(), 1) << path.toStdString();
        EXPECT_TRUE(log.lines().first().startsWith(u"Error in [load:] : "_s));
    }
}

TEST_F(DictionaryTest, FailedSaveKeepsTheOldProfileAndLogs)
{
    Numbering job;
    fillJob(job);
    test::LogCapture log;
    EXPECT_FALSE(job.save(m_preferences.folder() + u"/no/such/folder/x.vtprofile"_s));
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_TRUE(log.lines().first().startsWith(u"Error in [save:] : "_s));
}

TEST_F(DictionaryTest, SynchronizeStoresTheJobForTheNextStart)
{
    {
        Numbering job;
        fillJob(job);
        job.synchronize();
    }
    PreferencesStore::shared().setFilePath(m_preferences.path()); // read back from disk
    Numbering restored;
    EXPECT_EQ(restored.startNumber(), 100);
    ASSERT_EQ(restored.stamps().size(), 2u);
    EXPECT_EQ(textAt(restored, 0).numberFormat(), u"Page {0} of {1}"_s);
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
