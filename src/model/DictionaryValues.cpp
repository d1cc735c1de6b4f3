#include "model/DictionaryValues.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace veltrane {
namespace {

bool isNumber(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

bool isReal(const QVariant& v)
{
    return v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float;
}

qint64 realToInteger(double d)
{
    if (!std::isfinite(d)) {
        return 0;
    }
    if (d >= 9.2233720368547758e18) {
        return std::numeric_limits<qint64>::max();
    }
    if (d <= -9.2233720368547758e18) {
        return std::numeric_limits<qint64>::min();
    }
    return qint64(d); // toward zero
}

// Leading integer of a text: spaces, an optional sign, then digits; the rest is ignored.
// Overflow saturates.
qint64 textToInteger(const QString& text)
{
    const QByteArray s = text.trimmed().toLatin1();
    const char* p = s.constData();
    const char* end = p + s.size();
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    qint64 value = 0;
    for (; p < end && *p >= '0' && *p <= '9'; ++p) {
        const int digit = *p - '0';
        if (value > (std::numeric_limits<qint64>::max() - digit) / 10) {
            return negative ? std::numeric_limits<qint64>::min()
                            : std::numeric_limits<qint64>::max();
        }
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

// Leading decimal number of a text, "C" locale; 0 when there is none.
double textToReal(const QString& text)
{
    QByteArray s = text.trimmed().toLatin1();
    if (s.startsWith('+')) {
        s.remove(0, 1);
    }
    double value = 0.0;
    const auto [ptr, ec] =
        std::from_chars(s.constData(), s.constData() + s.size(), value, std::chars_format::general);
    Q_UNUSED(ptr);
    if (ec != std::errc()) {
        return 0.0;
    }
    return value;
}

// YES for a text whose first significant character (after spaces, a sign and leading zeros) is
// Y, y, T, t or a digit 1 to 9.
bool textToBoolean(const QString& text)
{
    const QString s = text.trimmed();
    qsizetype i = 0;
    if (i < s.size() && (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-'))) {
        ++i;
    }
    while (i < s.size() && s[i] == QLatin1Char('0')) {
        ++i;
    }
    if (i >= s.size()) {
        return false;
    }
    const QChar c = s[i];
    return c == QLatin1Char('Y') || c == QLatin1Char('y') || c == QLatin1Char('T') ||
           c == QLatin1Char('t') || (c >= QLatin1Char('1') && c <= QLatin1Char('9'));
}

} // namespace

qint64 readInteger(const QVariantMap& data, const QString& key, qint64 missing)
{
    const auto it = data.constFind(key);
    if (it == data.cend()) {
        return missing;
    }
    const QVariant& v = it.value();
    if (isReal(v)) {
        return realToInteger(v.toDouble());
    }
    if (isNumber(v)) {
        return v.toLongLong();
    }
    if (v.typeId() == QMetaType::QString) {
        return textToInteger(v.toString());
    }
    return missing;
}

bool readBoolean(const QVariantMap& data, const QString& key, bool missing)
{
    const auto it = data.constFind(key);
    if (it == data.cend()) {
        return missing;
    }
    const QVariant& v = it.value();
    if (isReal(v)) {
        return v.toDouble() != 0.0;
    }
    if (isNumber(v)) {
        return v.toLongLong() != 0;
    }
    if (v.typeId() == QMetaType::QString) {
        return textToBoolean(v.toString());
    }
    return missing;
}

double readReal(const QVariantMap& data, const QString& key, double missing)
{
    const auto it = data.constFind(key);
    if (it == data.cend()) {
        return missing;
    }
    const QVariant& v = it.value();
    double value = missing;
    if (v.typeId() == QMetaType::Bool) {
        value = v.toBool() ? 1.0 : 0.0;
    } else if (isNumber(v)) {
        value = v.toDouble();
    } else if (v.typeId() == QMetaType::QString) {
        value = textToReal(v.toString());
    }
    return std::isfinite(value) ? value : missing;
}

QString readString(const QVariantMap& data, const QString& key, const QString& missing)
{
    const auto it = data.constFind(key);
    if (it == data.cend() || it.value().typeId() != QMetaType::QString) {
        return missing;
    }
    return it.value().toString();
}

QByteArray readData(const QVariantMap& data, const QString& key)
{
    const auto it = data.constFind(key);
    if (it == data.cend() || it.value().typeId() != QMetaType::QByteArray) {
        return {};
    }
    return it.value().toByteArray();
}

QVariant storedInteger(qint64 value)
{
    return QVariant::fromValue(qint64(qint32(value)));
}

} // namespace veltrane
