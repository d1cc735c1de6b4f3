#include "platform/DateFormat.h"

#include <cstdlib>
#include <memory>
#include <unicode/locid.h>
#include <unicode/parsepos.h>
#include <unicode/smpdtfmt.h>
#include <unicode/unistr.h>

namespace veltrane {
namespace {

icu::UnicodeString toIcu(const QString& s)
{
    return icu::UnicodeString(reinterpret_cast<const char16_t*>(s.utf16()), int32_t(s.size()));
}

QString fromIcu(const icu::UnicodeString& s)
{
    return QString(reinterpret_cast<const QChar*>(s.getBuffer()), s.length());
}

icu::Locale icuLocale(const QString& name)
{
    const QString id = name.isEmpty() ? userDateLocale() : name;
    if (id.isEmpty() || id == QLatin1String("C") || id == QLatin1String("POSIX")) {
        return icu::Locale("en_US_POSIX");
    }
    return icu::Locale::createCanonical(id.toUtf8().constData());
}

std::unique_ptr<icu::SimpleDateFormat> makeFormat(const QString& pattern, const QString& locale)
{
    UErrorCode status = U_ZERO_ERROR;
    auto format =
        std::make_unique<icu::SimpleDateFormat>(toIcu(pattern), icuLocale(locale), status);
    if (U_FAILURE(status)) {
        return nullptr;
    }
    return format;
}

} // namespace

QString userDateLocale()
{
    for (const char* variable : {"LC_ALL", "LC_TIME", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value) {
            return QString::fromLocal8Bit(value);
        }
    }
    return QStringLiteral("en_US_POSIX");
}

std::optional<QString> formatDate(const QDateTime& when, const QString& pattern,
                                  const QString& locale)
{
    if (!when.isValid()) {
        return std::nullopt;
    }
    auto format = makeFormat(pattern, locale);
    if (!format) {
        return std::nullopt;
    }
    icu::UnicodeString out;
    format->format(UDate(when.toMSecsSinceEpoch()), out);
    return fromIcu(out);
}

std::optional<QDateTime> parseDate(const QString& text, const QString& pattern,
                                   const QString& locale)
{
    auto format = makeFormat(pattern, locale);
    if (!format) {
        return std::nullopt;
    }
    format->setLenient(false);
    const icu::UnicodeString source = toIcu(text);
    icu::ParsePosition position(0);
    const UDate date = format->parse(source, position);
    if (position.getErrorIndex() >= 0 || position.getIndex() != source.length()) {
        return std::nullopt;
    }
    return QDateTime::fromMSecsSinceEpoch(qint64(date));
}

} // namespace veltrane
