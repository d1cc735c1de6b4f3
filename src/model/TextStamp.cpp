#include "model/TextStamp.h"

#include "model/ColorArchive.h"
#include "model/DictionaryValues.h"
#include "platform/SystemLog.h"

#include <cmath>

namespace veltrane {

TextStamp::~TextStamp()
{
    removehandlers();
}

std::unique_ptr<IStampItem> TextStamp::clone() const
{
    return std::unique_ptr<IStampItem>(new TextStamp(*this));
}

QVariantMap TextStamp::getData() const
{
    QVariantMap data;
    guarded(QStringLiteral("Error in (TextStamp=>getData) : %@"), [&] {
        writeCommonData(data);
        data.insert(QStringLiteral("font"), m_font.getData());
        data.insert(QStringLiteral("outlineWidth"), storedInteger(m_outlineWidth));
        data.insert(QStringLiteral("outlineColor"), archiveColor(m_outlineColor));
        data.insert(QStringLiteral("isBold"), m_isBold);
        data.insert(QStringLiteral("isItalic"), m_isItalic);
        data.insert(QStringLiteral("isUnderline"), m_isUnderline);
        data.insert(QStringLiteral("isEmbedFont"), m_isEmbedFont);
        data.insert(QStringLiteral("underlineStyle"), storedInteger(m_underlineStyle));
        data.insert(QStringLiteral("numberFormat"), m_numberFormat);
        data.insert(QStringLiteral("paddingCharacter"), m_paddingCharacter);
        data.insert(QStringLiteral("paddingLength"), storedInteger(m_paddingLength));
        data.insert(QStringLiteral("numberType"), storedInteger(m_numberType));
        data.insert(QStringLiteral("textOpacity"), storedInteger(m_textOpacity));
        data.insert(QStringLiteral("outlineOpacity"), storedInteger(m_outlineOpacity));
        // Whole degrees, cut toward zero; a NaN or huge rotation stores as 0.
        const double whole = std::trunc(m_textRotation);
        data.insert(
            QStringLiteral("textRotation"),
            storedInteger(std::isfinite(whole) && std::fabs(whole) < 9.0e18 ? qint64(whole) : 0));
    });
    return data;
}

void TextStamp::setData(const QVariant& value)
{
    guarded(QStringLiteral("Error in (TextStamp=>setData:) : %@"), [&] {
        if (value.typeId() != QMetaType::QVariantMap) {
            return;
        }
        const QVariantMap data = value.toMap();
        readCommonData(data);
        if (data.contains(QStringLiteral("font"))) {
            m_font.setData(data.value(QStringLiteral("font")));
        }
        m_outlineWidth = readInteger(data, QStringLiteral("outlineWidth"));
        if (auto color = unarchiveColor(readData(data, QStringLiteral("outlineColor")))) {
            m_outlineColor = *color;
        }
        m_isBold = readBoolean(data, QStringLiteral("isBold"));
        m_isItalic = readBoolean(data, QStringLiteral("isItalic"));
        m_isUnderline = readBoolean(data, QStringLiteral("isUnderline"));
        m_isEmbedFont = readBoolean(data, QStringLiteral("isEmbedFont"));
        m_underlineStyle = qint32(readInteger(data, QStringLiteral("underlineStyle")));
        m_numberFormat = readString(data, QStringLiteral("numberFormat"));
        m_paddingCharacter = readString(data, QStringLiteral("paddingCharacter"));
        m_paddingLength = readInteger(data, QStringLiteral("paddingLength"));
        m_numberType = qint32(readInteger(data, QStringLiteral("numberType")));
        m_textOpacity = readInteger(data, QStringLiteral("textOpacity"));
        m_outlineOpacity = readInteger(data, QStringLiteral("outlineOpacity"));
        m_textRotation = double(readInteger(data, QStringLiteral("textRotation")));
    });
}

QString TextStamp::numberTypeName(qint32 type)
{
    switch (type) {
    case PlainText:
        return QStringLiteral("Plain Text");
    case Numbers:
        return QStringLiteral("Numbers");
    case RomanNumbersCapital:
        return QStringLiteral("Roman Numbers Capital");
    case RomanNumbersSmall:
        return QStringLiteral("Roman Numbers Small");
    case PhotoDateTime:
        return QStringLiteral("Photo Date Time");
    default:
        return {};
    }
}

QString TextStamp::description() const
{
    return QStringLiteral("%1 [%2]").arg(numberTypeName(m_numberType), m_numberFormat);
}

} // namespace veltrane
