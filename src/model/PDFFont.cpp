#include "model/PDFFont.h"

#include "model/ColorArchive.h"
#include "model/DictionaryValues.h"
#include "platform/SystemLog.h"

namespace veltrane {

PDFFont PDFFont::initWithFont(const QString& fontName, qint32 fontID, double fontSize,
                              bool isStandard)
{
    PDFFont font;
    font.m_fontName = fontName;
    font.m_fontID = fontID;
    font.m_fontSize = fontSize;
    font.m_isStandard = isStandard;
    return font;
}

QVariantMap PDFFont::getData() const
{
    QVariantMap data;
    guarded(QStringLiteral("Error in (PDFFont=>getData) : %@"), [&] {
        data.insert(QStringLiteral("fontName"), m_fontName);
        data.insert(QStringLiteral("fontID"), storedInteger(m_fontID));
        data.insert(QStringLiteral("fontSize"), m_fontSize);
        data.insert(QStringLiteral("isStandard"), m_isStandard);
        data.insert(QStringLiteral("fontColor"), archiveColor(m_fontColor));
    });
    return data;
}

void PDFFont::setData(const QVariant& value)
{
    guarded(QStringLiteral("Error in (PDFFont=>setData:) : %@"), [&] {
        if (value.typeId() != QMetaType::QVariantMap) {
            return;
        }
        const QVariantMap data = value.toMap();
        m_fontName = readString(data, QStringLiteral("fontName"));
        m_fontID = qint32(readInteger(data, QStringLiteral("fontID")));
        m_fontSize = readReal(data, QStringLiteral("fontSize"));
        m_isStandard = readBoolean(data, QStringLiteral("isStandard"));
        if (auto color = unarchiveColor(readData(data, QStringLiteral("fontColor")))) {
            m_fontColor = *color;
        }
    });
}

} // namespace veltrane
