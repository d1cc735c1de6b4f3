// Drawing a text stamp: font, fill and outline, underline, measured box, turn and highlight.
#include "model/TextStamp.h"
#include "platform/FontResolver.h"
#include "platform/SystemLog.h"
#include "render/StampDrawing.h"

#include <cmath>
#include <mutex>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QTextLayout>
#include <stdexcept>

namespace veltrane {
namespace {

struct Faces
{
    bool bold = false;
    bool italic = false;
    bool boldItalic = false;
};

// Which faces a family has; asked once per family, as every stamped page needs it.
Faces facesOf(const QString& family)
{
    static std::mutex mutex;
    static QHash<QString, Faces> known;
    std::lock_guard lock(mutex);
    if (auto it = known.constFind(family); it != known.cend()) {
        return it.value();
    }
    Faces faces;
    for (const QString& style : QFontDatabase::styles(family)) {
        const bool isBold = QFontDatabase::weight(family, style) >= QFont::DemiBold;
        const bool isItalic = QFontDatabase::italic(family, style);
        faces.bold |= isBold;
        faces.italic |= isItalic && !isBold;
        faces.boldItalic |= isItalic && isBold;
    }
    known.insert(family, faces);
    return faces;
}

// Bold and italic only when the family has such faces: never synthesised.
QFont stampFont(const QString& family, double sizeInDeviceUnits, const QPaintDevice* device,
                bool bold, bool italic)
{
    const Faces faces = facesOf(family);
    const bool useBold = bold && faces.bold;
    const bool useItalic = italic && (useBold ? faces.boldItalic : faces.italic);

    QFont font(family);
    // Font merging stays on: characters the family lacks (CJK, symbols) come from fontconfig's
    // fallback fonts, are measured with them and embedded in PDFs like the family itself.
    font.setStyleStrategy(QFont::PreferOutline);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(true);
    // Sizes are in the frame's units: points on PDF pages, pixels on images.
    const int dpi = device ? device->logicalDpiY() : 72;
    font.setPointSizeF(sizeInDeviceUnits * 72.0 / (dpi > 0 ? dpi : 72));
    font.setWeight(useBold ? QFont::Bold : QFont::Normal);
    font.setItalic(useItalic);
    return font;
}

QColor withOpacity(QColor color, qint64 percent)
{
    color.setAlphaF(float(std::clamp<qint64>(percent, 0, 100) * 0.01));
    return color;
}

} // namespace

TextStampGeometry measureTextStamp(const TextStamp& stamp, const QString& text,
                                   const QPaintDevice* device)
{
    const std::optional<QString> family = resolveFontFamily(stamp.font().fontName());
    if (!family) {
        throw std::runtime_error(QStringLiteral("no installed font named \"%1\"")
                                     .arg(stamp.font().fontName())
                                     .toStdString());
    }
    // A size of 0 or less takes the default size, as a font asked for at size 0 does.
    const double size = stamp.font().fontSize() > 0 && std::isfinite(stamp.font().fontSize())
                            ? stamp.font().fontSize()
                            : 12.0;
    TextStampGeometry g;
    g.font = stampFont(*family, size, device, stamp.isBold(), stamp.isItalic());
    g.fontSize = size;
    QTextLayout layout(text, g.font, const_cast<QPaintDevice*>(device));
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setNumColumns(int(text.size()));
    layout.endLayout();
    g.ascent = line.ascent();
    g.size = QSizeF(line.naturalTextWidth(), line.ascent() + line.descent());
    g.glyphRuns = layout.glyphRuns();
    return g;
}

void TextStamp::draw(QPainter& context, const QRectF& rect, const QRectF& offsetRect,
                     qint32 marginAnchor, qint64 pageNumber, qint64 totalPages,
                     bool isHighLightStamp)
{
    if (m_numberFormat.isEmpty()) {
        return;
    }
    const bool fillVisible = m_textOpacity > 0;
    const bool outlineVisible = m_outlineOpacity > 0 && m_outlineWidth > 0;
    if (!fillVisible && !outlineVisible) {
        return;
    }
    context.save();
    guarded(kDrawFailureLine, [&] {
        const QString text = composeText(pageNumber, totalPages);
        if (text.isEmpty()) {
            return;
        }
        const TextStampGeometry g = measureTextStamp(*this, text, context.device());
        checkStampPlace(rect, offsetRect, g.size, m_textRotation);
        const QPointF at =
            getTransformedPoint(g.size, qint64(std::trunc(m_textRotation)), rect, marginAnchor, 0);
        context.translate(offsetRect.x() + at.x(), offsetRect.y() + at.y());
        context.rotate(-m_textRotation);
        context.setRenderHint(QPainter::Antialiasing, true);
        context.setRenderHint(QPainter::TextAntialiasing, true);

        const QColor fill = withOpacity(m_font.fontColor(), m_textOpacity);
        if (fillVisible) {
            context.setPen(fill);
            for (const QGlyphRun& run : g.glyphRuns) {
                context.drawGlyphRun(QPointF(0, 0), run);
            }
        }
        if (outlineVisible) {
            QPainterPath outline;
            for (const QGlyphRun& run : g.glyphRuns) {
                const QRawFont raw = run.rawFont();
                const QList<quint32> glyphs = run.glyphIndexes();
                const QList<QPointF> positions = run.positions();
                for (qsizetype i = 0; i < glyphs.size(); ++i) {
                    outline.addPath(raw.pathForGlyph(glyphs[i]).translated(positions[i]));
                }
            }
            QPen pen(withOpacity(m_outlineColor, m_outlineOpacity));
            pen.setWidthF(double(m_outlineWidth) / 100.0 * g.fontSize);
            pen.setJoinStyle(Qt::MiterJoin);
            context.strokePath(outline, pen);
        }
        if (m_isUnderline && m_underlineStyle >= 0 && m_underlineStyle <= 2) {
            const QFontMetricsF metrics(g.font, context.device());
            const double thickness = std::max(metrics.lineWidth(), g.fontSize / 24.0);
            auto line = [&](double y) {
                context.fillRect(QRectF(0, y - thickness / 2, g.size.width(), thickness), fill);
            };
            const double underlineY = g.ascent + metrics.underlinePos();
            if (m_underlineStyle == 0) {
                line(underlineY);
            } else if (m_underlineStyle == 1) {
                line(underlineY - thickness);
                line(underlineY + thickness);
            } else {
                line(g.ascent - metrics.strikeOutPos());
            }
        }
        if (isHighLightStamp) {
            context.fillRect(QRectF(QPointF(0, 0), g.size), kHighlightColor);
        }
    });
    context.restore();
}

} // namespace veltrane
