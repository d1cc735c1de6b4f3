#pragma once

#include "model/PDFFont.h"
#include "model/StampItemBase.h"

#include <QColor>
#include <QPointF>
#include <QRectF>
#include <QSizeF>

namespace veltrane {

// What a text stamp's text shows.
enum NumberType : qint32 {
    PlainText = 0,
    Numbers = 1,
    RomanNumbersCapital = 2,
    RomanNumbersSmall = 3,
    PhotoDateTime = 4,
};

// Longest padded number a stamp composes; a larger paddingLength pads to this many characters.
inline constexpr qint64 kMaxPaddedLength = 4096;

// One line of text put on every stamped page: plain text, "{0} of {1}" numbers (decimal or
// roman) or a photo's capture date.
class TextStamp final : public StampItemBase
{
public:
    TextStamp() = default;
    // Copies the stored fields, the mirror state and the picture; never the open editor.
    TextStamp(const TextStamp& other) = default;
    TextStamp& operator=(const TextStamp&) = delete;
    ~TextStamp() override;

    StampKind kind() const override { return StampKind::Text; }
    std::unique_ptr<IStampItem> clone() const override;

    // Capture date "yyyy:MM:dd HH:mm:ss" used by the date type; empty means now. Not stored.
    QString dateTaken() const { return m_dateTaken; }
    void setDateTaken(const QString& date) { m_dateTaken = date; }
    QString paddingCharacter() const { return m_paddingCharacter; }
    void setPaddingCharacter(const QString& c) { m_paddingCharacter = c; }
    QString numberFormat() const { return m_numberFormat; }
    void setNumberFormat(const QString& format) { m_numberFormat = format; }
    QColor outlineColor() const { return m_outlineColor; }
    void setOutlineColor(const QColor& color) { m_outlineColor = color; }
    const PDFFont& font() const { return m_font; }
    PDFFont& font() { return m_font; }
    void setFont(const PDFFont& font) { m_font = font; }
    bool isBold() const { return m_isBold; }
    void setIsBold(bool on) { m_isBold = on; }
    bool isItalic() const { return m_isItalic; }
    void setIsItalic(bool on) { m_isItalic = on; }
    bool isUnderline() const { return m_isUnderline; }
    void setIsUnderline(bool on) { m_isUnderline = on; }
    bool isEmbedFont() const { return m_isEmbedFont; }
    void setIsEmbedFont(bool on) { m_isEmbedFont = on; }
    // 0 single underline, 1 double underline, 2 strike-through; other values draw no line.
    qint32 underlineStyle() const { return m_underlineStyle; }
    void setUnderlineStyle(qint32 style) { m_underlineStyle = style; }
    qint32 numberType() const { return m_numberType; }
    void setNumberType(qint32 type) { m_numberType = type; }
    qint64 paddingLength() const { return m_paddingLength; }
    void setPaddingLength(qint64 length) { m_paddingLength = length; }
    // Percentages 0 to 100.
    qint64 textOpacity() const { return m_textOpacity; }
    void setTextOpacity(qint64 opacity) { m_textOpacity = opacity; }
    // Degrees, positive turns counter-clockwise on the page.
    double textRotation() const { return m_textRotation; }
    void setTextRotation(double degrees) { m_textRotation = degrees; }
    qint64 outlineOpacity() const { return m_outlineOpacity; }
    void setOutlineOpacity(qint64 opacity) { m_outlineOpacity = opacity; }
    // Percent of the font size; 0 draws no outline.
    qint64 outlineWidth() const { return m_outlineWidth; }
    void setOutlineWidth(qint64 width) { m_outlineWidth = width; }

    void draw(QPainter& context, const QRectF& rect, const QRectF& offsetRect, qint32 marginAnchor,
              qint64 pageNumber, qint64 totalPages, bool isHighLightStamp) override;
    QVariantMap getData() const override;
    void setData(const QVariant& data) override;
    QString description() const override;

    // The text drawn on a page whose running number is `pageValue`, with `totalValue` as the
    // total; empty means nothing is drawn. Both values are taken as signed 32-bit integers.
    QString composeText(qint64 pageValue, qint64 totalValue) const;

    // Corner `pointIndex` (0 top-left ... 3 bottom-left) of a box of `textSize`, turned by
    // `angle` whole degrees at `marginAnchor` and kept inside `rect`; relative to rect's origin.
    QPointF getTransformedPoint(const QSizeF& textSize, qint64 angle, const QRectF& rect,
                                qint32 marginAnchor, qint32 pointIndex) const;

    // Lower-case roman numerals; empty for 0 or less.
    static QString romanNumeralsFromInt(qint32 value);
    // The display name of a number type ("Numbers", ...); empty outside 0 to 4.
    static QString numberTypeName(qint32 type);

protected:
    QString className() const override { return QStringLiteral("TextStamp"); }

private:
    QString formatValue(qint64 value) const;

    QString m_dateTaken;
    QString m_paddingCharacter = QStringLiteral("0");
    QString m_numberFormat = QStringLiteral("{0} of {1}");
    QColor m_outlineColor = QColor(0, 0, 0);
    PDFFont m_font;
    bool m_isBold = false;
    bool m_isItalic = false;
    bool m_isUnderline = false;
    bool m_isEmbedFont = false;
    qint32 m_underlineStyle = 0;
    qint32 m_numberType = Numbers;
    qint64 m_paddingLength = 1;
    qint64 m_textOpacity = 100;
    double m_textRotation = 0.0;
    qint64 m_outlineOpacity = 100;
    qint64 m_outlineWidth = 0;
};

} // namespace veltrane
