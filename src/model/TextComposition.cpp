// How a text stamp's text is composed for one page.
#include "model/TextStamp.h"
#include "platform/DateFormat.h"

#include <array>

namespace veltrane {
namespace {

const QString kDateTakenPattern = QStringLiteral("yyyy:MM:dd HH:mm:ss");

} // namespace

QString TextStamp::romanNumeralsFromInt(qint32 value)
{
    static const std::array<std::pair<qint32, const char*>, 13> table = {{
        {1000, "m"},
        {900, "cm"},
        {500, "d"},
        {400, "cd"},
        {100, "c"},
        {90, "xc"},
        {50, "l"},
        {40, "xl"},
        {10, "x"},
        {9, "ix"},
        {5, "v"},
        {4, "iv"},
        {1, "i"},
    }};
    QString out;
    if (value <= 0) {
        return out;
    }
    // Thousands have no upper limit: reserve once instead of growing letter by letter.
    out.reserve(value / 1000 + 16);
    for (const auto& [amount, letters] : table) {
        while (value >= amount) {
            out += QLatin1String(letters);
            value -= amount;
        }
    }
    return out;
}

QString TextStamp::formatValue(qint64 value) const
{
    const qint32 number = qint32(value);
    switch (m_numberType) {
    case Numbers: {
        QString text = QString::number(number);
        // An empty padding text could never lengthen the result: no padding then.
        if (m_paddingCharacter.isEmpty()) {
            return text;
        }
        const qint64 wanted = qMin(m_paddingLength, kMaxPaddedLength);
        if (text.size() >= wanted) {
            return text;
        }
        QString padding;
        while (padding.size() + text.size() < wanted) {
            padding += m_paddingCharacter;
        }
        return padding + text;
    }
    case RomanNumbersCapital:
        return romanNumeralsFromInt(number).toUpper();
    case RomanNumbersSmall:
        return romanNumeralsFromInt(number);
    default:
        return QString::number(number);
    }
}

QString TextStamp::composeText(qint64 pageValue, qint64 totalValue) const
{
    if (m_numberFormat.isEmpty()) {
        return {};
    }
    switch (m_numberType) {
    case Numbers:
    case RomanNumbersCapital:
    case RomanNumbersSmall: {
        QString text = m_numberFormat;
        // Both placeholders in one pass, so a page text that itself reads "{1}" stays literal.
        const QString page = formatValue(pageValue);
        const QString total = formatValue(totalValue);
        QString out;
        out.reserve(text.size() + page.size() + total.size());
        for (qsizetype i = 0; i < text.size();) {
            if (text.at(i) == QLatin1Char('{') && i + 2 < text.size() &&
                text.at(i + 2) == QLatin1Char('}') &&
                (text.at(i + 1) == QLatin1Char('0') || text.at(i + 1) == QLatin1Char('1'))) {
                out += text.at(i + 1) == QLatin1Char('0') ? page : total;
                i += 3;
            } else {
                out += text.at(i);
                ++i;
            }
        }
        return out;
    }
    case PhotoDateTime: {
        QDateTime when = QDateTime::currentDateTime();
        if (!m_dateTaken.isEmpty()) {
            const auto taken = parseDate(m_dateTaken, kDateTakenPattern);
            if (!taken) {
                return {};
            }
            when = *taken;
        }
        return formatDate(when, m_numberFormat).value_or(QString());
    }
    default:
        // Plain text, and type codes that no editor sets: the template as typed.
        return m_numberFormat;
    }
}

} // namespace veltrane
