#include "model/TextStamp.h"
#include "platform/FontResolver.h"
#include "render/Placement.h"
#include "render/StampDrawing.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>
#include <QFontDatabase>
#include <QImage>
#include <QPainter>

using namespace Qt::StringLiterals;

using namespace veltrane;

namespace {

// A white canvas whose units are points, as a PDF page's are.
QImage canvas(int w = 600, int h = 400)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.setDotsPerMeterX(2835);
    image.setDotsPerMeterY(2835);
    image.fill(Qt::white);
    return image;
}

const QRectF kMargins(20, 20, 560, 360);

QImage drawn(TextStamp& stamp, qint32 anchor = TopLeft, bool highlight = false, qint64 page = 7,
             qint64 total = 12)
{
    QImage image = canvas();
    QPainter painter(&image);
    stamp.draw(painter, kMargins, kMargins, anchor, page, total, highlight);
    return image;
}

// The smallest rectangle holding every pixel that is not white.
QRect inkBox(const QImage& image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != qRgb(255, 255, 255)) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

int darkestGrey(const QImage& image)
{
    int darkest = 255;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            darkest = std::min(darkest, qGray(image.pixel(x, y)));
        }
    }
    return darkest;
}

// Rows of the canvas where at least 90% of the stamp's width is inked.
QList<int> solidRows(const QImage& image, int x0, int width)
{
    QList<int> rows;
    for (int y = 0; y < image.height(); ++y) {
        int inked = 0;
        for (int x = x0; x < x0 + width; ++x) {
            inked += image.pixel(x, y) != qRgb(255, 255, 255);
        }
        if (inked >= width * 9 / 10) {
            rows << y;
        }
    }
    return rows;
}

int runsOf(const QList<int>& rows)
{
    int runs = 0;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        runs += i == 0 || rows[i] != rows[i - 1] + 1;
    }
    return runs;
}

TextStamp bigStamp(const QString& text, double size = 60)
{
    TextStamp stamp;
    stamp.setNumberFormat(text);
    stamp.font().setFontSize(size);
    return stamp;
}

} // namespace

TEST(TextStampDrawing, DefaultHelveticaResolvesToAnInstalledFace)
{
    const std::optional<QString> family = resolveFontFamily(u"Helvetica"_s);
    ASSERT_TRUE(family.has_value());
    // Qt names duplicates by foundry: "Nimbus Sans [urw]".
    const QStringList installed = QFontDatabase::families();
    EXPECT_TRUE(std::any_of(installed.begin(), installed.end(), [&](const QString& f) {
        return f.startsWith(*family);
    })) << family->toStdString();
    EXPECT_NE(*family, u"DejaVu Sans"_s); // a metric-compatible face, not a fallback
    EXPECT_EQ(resolveFontFamily(u"DejaVu Sans"_s), u"DejaVu Sans"_s);
    EXPECT_EQ(resolveFontFamily(u"dejavu sans"_s), u"DejaVu Sans"_s);
    EXPECT_FALSE(resolveFontFamily(u"No Such Family 1234"_s).has_value());
    EXPECT_FALSE(resolveFontFamily(QString()).has_value());

    TextStamp stamp; // Helvetica 12
    const QRect ink = inkBox(drawn(stamp));
    EXPECT_FALSE(ink.isEmpty());
}

TEST(TextStampDrawing, TextLiesInsideItsMeasuredBoxAtTheAnchor)
{
    TextStamp stamp = bigStamp(u"{0} of {1}"_s);
    QImage probe = canvas();
    const TextStampGeometry g = measureTextStamp(stamp, u"7 of 12"_s, &probe);
    EXPECT_GT(g.size.width(), 100);
    EXPECT_GT(g.size.height(), 55);
    for (qint32 anchor : {TopLeft, MiddleMiddle, BottomRight}) {
        const QPointF at = turnedBoxCorner(g.size, 0, kMargins, anchor, 0) + kMargins.topLeft();
        const QRectF box(at, g.size);
        const QRect ink = inkBox(drawn(stamp, anchor));
        ASSERT_FALSE(ink.isEmpty());
        EXPECT_TRUE(box.adjusted(-1, -1, 1, 1).contains(QRectF(ink))) << anchor;
        EXPECT_GT(ink.width(), g.size.width() * 0.8) << anchor;
    }
}

// Characters the stamp's font (Helvetica) lacks are drawn from fallback fonts, inside a box
// measured with them.
TEST(TextStampDrawing, CharactersTheFontLacksComeFromFallbackFonts)
{
    QImage probe = canvas();
    auto width = [&](const QString& text) {
        return measureTextStamp(bigStamp(text, 30), text, &probe).size.width();
    };
    for (const QString& text : {u"日本語"_s, u"✓"_s, u"кириллица Ελληνικά"_s}) {
        TextStamp stamp = bigStamp(text, 30);
        const TextStampGeometry g = measureTextStamp(stamp, text, &probe);
        const QPointF at = turnedBoxCorner(g.size, 0, kMargins, TopLeft, 0) + kMargins.topLeft();
        const QRect ink = inkBox(drawn(stamp));
        ASSERT_FALSE(ink.isEmpty()) << text.toStdString();
        EXPECT_TRUE(QRectF(at, g.size).adjusted(-1, -1, 1, 1).contains(QRectF(ink)))
            << text.toStdString();
        EXPECT_GT(ink.width(), g.size.width() * 0.5) << text.toStdString();
    }
    const QString latin = u"Příliš žluťoučký "_s;
    EXPECT_NEAR(width(latin + u"日本語 ✓"_s), width(latin) + width(u"日本語 ✓"_s), 1.0);
}

TEST(TextStampDrawing, FillAlphaIsReplacedByTheOpacity)
{
    TextStamp stamp = bigStamp(u"lll"_s, 150);
    stamp.font().setFontColor(QColor(0, 0, 0, 51)); // alpha 0.2 of its own
    stamp.setTextOpacity(50);
    const int grey = darkestGrey(drawn(stamp));
    EXPECT_NEAR(grey, 128, 3);

    stamp.setTextOpacity(100);
    EXPECT_LE(darkestGrey(drawn(stamp)), 2);
}

TEST(TextStampDrawing, OutlineAloneWhenTheFillIsTransparent)
{
    TextStamp stamp = bigStamp(u"l"_s, 200);
    stamp.setTextOpacity(0);
    stamp.setOutlineWidth(3);
    stamp.setOutlineColor(Qt::red);
    const QImage image = drawn(stamp);
    const QRect ink = inkBox(image);
    ASSERT_FALSE(ink.isEmpty());
    // The stem's middle stays white; its edges are red.
    const int y = ink.center().y();
    EXPECT_EQ(image.pixel(ink.center().x(), y), qRgb(255, 255, 255));
    bool sawRed = false;
    for (int x = ink.left(); x <= ink.right(); ++x) {
        sawRed |= image.pixel(x, y) == qRgb(255, 0, 0);
    }
    EXPECT_TRUE(sawRed);

    stamp.setOutlineWidth(0);
    EXPECT_TRUE(inkBox(drawn(stamp)).isEmpty());
    stamp.setOutlineWidth(3);
    stamp.setOutlineOpacity(0);
    EXPECT_TRUE(inkBox(drawn(stamp)).isEmpty());
}

TEST(TextStampDrawing, UnderlineStylesDrawTheirLines)
{
    TextStamp stamp = bigStamp(u"ooooo"_s, 60);
    QImage probe = canvas();
    const TextStampGeometry g = measureTextStamp(stamp, u"ooooo"_s, &probe);
    const int x0 = int(kMargins.x()) + 2;
    const int width = int(g.size.width()) - 4;
    const double baseline = kMargins.y() + g.ascent;

    EXPECT_EQ(runsOf(solidRows(drawn(stamp), x0, width)), 0);
    stamp.setUnderlineStyle(2);
    EXPECT_EQ(drawn(stamp), [&] {
        TextStamp plain = bigStamp(u"ooooo"_s, 60);
        return drawn(plain);
    }()); // isUnderline off: no line whatever the style

    stamp.setIsUnderline(true);
    stamp.setUnderlineStyle(0);
    QList<int> rows = solidRows(drawn(stamp), x0, width);
    ASSERT_EQ(runsOf(rows), 1);
    EXPECT_GT(rows.first(), baseline);

    stamp.setUnderlineStyle(1);
    rows = solidRows(drawn(stamp), x0, width);
    EXPECT_EQ(runsOf(rows), 2);
    EXPECT_GT(rows.first(), baseline);

    stamp.setUnderlineStyle(2);
    rows = solidRows(drawn(stamp), x0, width);
    EXPECT_GE(runsOf(rows), 1);
    EXPECT_LT(rows.last(), baseline);

    stamp.setUnderlineStyle(3);
    EXPECT_EQ(runsOf(solidRows(drawn(stamp), x0, width)), 0);
}

TEST(TextStampDrawing, HighlightCoversTheTurnedBox)
{
    TextStamp stamp = bigStamp(u"{0}"_s, 40);
    stamp.setTextRotation(90.6);
    QImage probe = canvas();
    const TextStampGeometry g = measureTextStamp(stamp, u"7"_s, &probe);
    const QImage image = drawn(stamp, TopLeft, true);
    // Placement uses 90 degrees; the box, turned counter-clockwise, runs upward from the
    // returned corner: x from cx to cx + h, y from cy - w to cy.
    const QPointF corner = turnedBoxCorner(g.size, 90, kMargins, TopLeft, 0) + kMargins.topLeft();
    const QPoint inside(int(corner.x() + g.size.height() * 0.9), int(corner.y() - 2));
    const QColor highlight = image.pixelColor(inside);
    EXPECT_EQ(highlight.red(), 255);
    EXPECT_NEAR(highlight.green(), 127, 2);
    EXPECT_NEAR(highlight.blue(), 127, 2);
    // Where the unturned box would be, nothing.
    EXPECT_EQ(image.pixel(int(kMargins.x() + g.size.width() - 2),
                          int(kMargins.y() + g.size.height() + 5)),
              qRgb(255, 255, 255));
}

TEST(TextStampDrawing, BoldOnlyWhenTheFamilyHasABoldFace)
{
    TextStamp stamp = bigStamp(u"Hello"_s, 40);
    stamp.font().setFontName(u"DejaVu Sans"_s);
    const QImage regular = drawn(stamp);
    stamp.setIsBold(true);
    EXPECT_NE(drawn(stamp), regular);

    TextStamp single = bigStamp(u"Hello"_s, 40);
    single.font().setFontName(u"Z003"_s);
    const QImage face = drawn(single);
    ASSERT_FALSE(inkBox(face).isEmpty());
    single.setIsBold(true);
    EXPECT_EQ(drawn(single), face); // no synthetic emboldening
}

TEST(TextStampDrawing, NothingToDrawNeedsNoComposition)
{
    test::LogCapture log;
    TextStamp stamp = bigStamp(QString());
    EXPECT_TRUE(inkBox(drawn(stamp)).isEmpty());
    stamp.setNumberFormat(u"{0}"_s);
    stamp.setNumberType(RomanNumbersCapital);
    EXPECT_TRUE(inkBox(drawn(stamp, TopLeft, false, 0, 0)).isEmpty()); // empty roman text
    EXPECT_TRUE(log.lines().isEmpty());
}

TEST(TextStampDrawing, UnknownFontLogsOneLineAndDrawsNothing)
{
    test::LogCapture log;
    TextStamp stamp = bigStamp(u"{0}"_s);
    stamp.font().setFontName(u"No Such Family 1234"_s);
    QImage image = canvas();
    QPainter painter(&image);
    painter.translate(5, 5);
    stamp.draw(painter, kMargins, kMargins, TopLeft, 1, 1, true);
    EXPECT_EQ(painter.transform(), QTransform::fromTranslate(5, 5)); // state left as it was
    painter.end();
    EXPECT_TRUE(inkBox(image).isEmpty());
    EXPECT_EQ(log.lines(),
              QStringList{QStringLiteral("Error in "
                                         "[Draw:rect:marginAnchor:pageNumber:totalPages:"
                                         "isHighLightStamp:] : no installed font named \"No Such "
                                         "Family 1234\"")});
}
