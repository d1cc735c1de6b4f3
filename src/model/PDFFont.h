#pragma once

#include <QColor>
#include <QString>
#include <QVariant>
#include <QVariantMap>

namespace veltrane {

// A text stamp's font: family, size in points and fill colour. A plain value.
class PDFFont
{
public:
    PDFFont() = default;
    static PDFFont initWithFont(const QString& fontName, qint32 fontID, double fontSize,
                                bool isStandard);

    QColor fontColor() const { return m_fontColor; }
    void setFontColor(const QColor& color) { m_fontColor = color; }
    QString fontName() const { return m_fontName; }
    void setFontName(const QString& name) { m_fontName = name; }
    qint32 fontID() const { return m_fontID; }
    void setFontID(qint32 id) { m_fontID = id; }
    double fontSize() const { return m_fontSize; }
    void setFontSize(double size) { m_fontSize = size; }
    bool isStandard() const { return m_isStandard; }
    void setIsStandard(bool standard) { m_isStandard = standard; }

    // The five-key font dictionary. A colour that does not decode stays as it was; anything
    // but a dictionary changes nothing.
    QVariantMap getData() const;
    void setData(const QVariant& data);

    bool operator==(const PDFFont&) const = default;

private:
    QColor m_fontColor = QColor(0, 0, 0);
    QString m_fontName = QStringLiteral("Helvetica");
    qint32 m_fontID = 4;
    double m_fontSize = 12.0;
    bool m_isStandard = false;
};

} // namespace veltrane
