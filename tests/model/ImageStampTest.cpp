#include "model/ImageStamp.h"

#include "model/StampEditor.h"
#include "model/TextStamp.h"
#include "support/LogCapture.h"
#include "support/StampFixtures.h"

#include <gtest/gtest.h>
#include <QBuffer>
#include <QImage>
#include <stdexcept>

using namespace Qt::StringLiterals;

using namespace veltrane;

namespace {

QImage twoColourPicture()
{
    QImage image(8, 6, QImage::Format_RGB32);
    image.fill(Qt::blue);
    image.setPixelColor(0, 0, Qt::yellow);
    return image;
}

class FakeEditor : public IStampEditor
{
public:
    explicit FakeEditor(QStringList& calls) : m_calls(calls) {}
    void setNumber(Numbering*) override { m_calls << u"setNumber"_s; }
    void setStamp(IStampItem*) override { m_calls << u"setStamp"_s; }
    void bringToFront() override { m_calls << u"bringToFront"_s; }
    void reset() override { m_calls << u"reset"_s; }
    void invalidate() override { m_calls << u"invalidate"_s; }
    void close() override
    {
        m_calls << u"close"_s;
        if (failClose) {
            throw std::runtime_error("window already gone");
        }
    }
    bool failClose = false;

private:
    QStringList& m_calls;
};

class FakeFactory : public IStampEditorFactory
{
public:
    std::unique_ptr<IStampEditor> createEditor(StampKind kind) override
    {
        calls << (kind == StampKind::Text ? u"createText"_s : u"createImage"_s);
        auto editor = std::make_unique<FakeEditor>(calls);
        editor->failClose = failClose;
        return editor;
    }
    QStringList calls; // what the stamps ask of their editors, in order
    bool failClose = false;
};

} // namespace

TEST(ImageStamp, DescriptionPrefersTheLabelThenTheFileName)
{
    ImageStamp stamp;
    EXPECT_EQ(stamp.description(), u"Image []"_s);
    stamp.setStampImagePath(u"/a/b/seal.v2.png"_s);
    EXPECT_EQ(stamp.description(), u"Image [seal.v2]"_s);
    stamp.setLabel(u"Logo"_s);
    EXPECT_EQ(stamp.description(), u"Image [Logo]"_s);
}

TEST(ImageStamp, SetDataRebuildsThePictureFromItsData)
{
    const QImage picture = twoColourPicture();
    for (const char* format : {"TIFF", "PNG", "BMP"}) {
        ImageStamp stamp;
        stamp.setData(QVariantMap{{u"stampImage"_s, test::encodedPicture(picture, format)}});
        ASSERT_EQ(stamp.cacheImage().size(), QSize(8, 6)) << format;
        EXPECT_EQ(stamp.cacheImage().pixelColor(0, 0), QColor(Qt::yellow)) << format;
        EXPECT_EQ(stamp.cacheImage().pixelColor(7, 5), QColor(Qt::blue)) << format;
    }
}

TEST(ImageStamp, MissingOrUndecodablePictureLeavesNoPicture)
{
    ImageStamp stamp;
    stamp.setData(QVariantMap{{u"stampImage"_s, test::encodedPicture(twoColourPicture(), "PNG")}});
    ASSERT_FALSE(stamp.cacheImage().isNull());

    stamp.setData(QVariantMap{{u"stampImageWidth"_s, qint64(5)}});
    EXPECT_TRUE(stamp.stampImage().isEmpty());
    EXPECT_TRUE(stamp.cacheImage().isNull());

    const QByteArray garbage("\x89PNG\r\n\x1a\n-not-really", 19);
    stamp.setData(QVariantMap{{u"stampImage"_s, garbage}});
    EXPECT_EQ(stamp.stampImage(), garbage);
    EXPECT_TRUE(stamp.cacheImage().isNull());
}

TEST(ImageStamp, NonDictionaryKeepsFieldsButRebuildsThePicture)
{
    ImageStamp stamp;
    stamp.setLabel(u"kept"_s);
    stamp.setStampImage(test::encodedPicture(twoColourPicture(), "PNG"));
    ASSERT_TRUE(stamp.cacheImage().isNull());
    stamp.setData(u"not a dictionary"_s);
    EXPECT_EQ(stamp.label(), u"kept"_s);
    EXPECT_EQ(stamp.cacheImage().size(), QSize(8, 6));
}

TEST(ImageStamp, CloneKeepsThePictureAndMirrorStateButNoEditor)
{
    FakeFactory factory;
    setStampEditorFactory(&factory);
    ImageStamp stamp;
    stamp.setData(QVariantMap{{u"stampImage"_s, test::encodedPicture(twoColourPicture(), "PNG")},
                              {u"stampImageWidth"_s, qint64(30)}});
    stamp.getNextMarginAnchor(true, TopLeft);
    stamp.edit(nullptr);
    auto copy = stamp.clone();
    setStampEditorFactory(nullptr);

    auto& image = static_cast<ImageStamp&>(*copy);
    EXPECT_EQ(image.cacheImage(), stamp.cacheImage());
    EXPECT_EQ(image.stampImageWidth(), 30);
    EXPECT_EQ(image.lastMarginAnchor(), TopLeft);
    EXPECT_EQ(image.editor(), nullptr);
    EXPECT_NE(stamp.editor(), nullptr);
}

TEST(StampEditing, EditOpensOnceAndRemoveHandlersCloses)
{
    FakeFactory factory;
    setStampEditorFactory(&factory);
    {
        TextStamp stamp;
        stamp.edit(nullptr);
        stamp.edit(nullptr);
        EXPECT_EQ(factory.calls,
                  QStringList({u"createText"_s, u"setNumber"_s, u"setStamp"_s, u"bringToFront"_s,
                               u"reset"_s, u"bringToFront"_s, u"reset"_s}));
        factory.calls.clear();
        stamp.removehandlers();
        EXPECT_EQ(factory.calls, QStringList({u"invalidate"_s, u"close"_s}));
        EXPECT_EQ(stamp.editor(), nullptr);
        factory.calls.clear();
        stamp.edit(nullptr);
    }
    // Destroying a stamp closes its editor.
    EXPECT_EQ(factory.calls.mid(factory.calls.size() - 2),
              QStringList({u"invalidate"_s, u"close"_s}));
    setStampEditorFactory(nullptr);
}

TEST(StampEditing, EditorFailuresAreLoggedWithTheClassName)
{
    FakeFactory factory;
    factory.failClose = true;
    setStampEditorFactory(&factory);
    test::LogCapture log;
    ImageStamp image;
    image.edit(nullptr);
    image.removehandlers();
    EXPECT_EQ(log.lines(),
              QStringList{u"Error in (ImageStamp=>removehandlers:) : window already gone"_s});
    EXPECT_EQ(image.editor(), nullptr);
    setStampEditorFactory(nullptr);

    // Without a desktop program there is no editor and nothing to report.
    log.clear();
    TextStamp text;
    text.edit(nullptr);
    EXPECT_EQ(text.editor(), nullptr);
    EXPECT_TRUE(log.lines().isEmpty());
}
