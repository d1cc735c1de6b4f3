#include "app/Formatters.h"

#include <limits>
#include <QApplication>
#include <QKeyEvent>
#include <QPainter>

namespace veltrane {
namespace {

std::function<void()>& beepHandler()
{
    static std::function<void()> handler;
    return handler;
}

bool onlyCharacters(const QString& text, QLatin1String allowed)
{
    for (const QChar c : text) {
        if (!QLatin1String(allowed).contains(c)) {
            return false;
        }
    }
    return true;
}

} // namespace

void beep()
{
    if (beepHandler()) {
        beepHandler()();
    } else {
        QApplication::beep();
    }
}

std::function<void()> setBeepHandler(std::function<void()> handler)
{
    return std::exchange(beepHandler(), std::move(handler));
}

CustomNumberFormatterInteger::CustomNumberFormatterInteger(QObject* parent,
                                                           std::optional<qint64> maximum)
    : QValidator(parent), m_maximum(maximum)
{}

QValidator::State CustomNumberFormatterInteger::validate(QString& input, int&) const
{
    if (input.isEmpty() || !onlyCharacters(input, QLatin1String("0123456789"))) {
        beep();
        return Invalid;
    }
    const qsizetype limit = m_maximum ? QString::number(*m_maximum).size() : 6;
    return input.size() > limit ? Invalid : Acceptable;
}

QValidator::State CustomNumberFormatterDecimal::validate(QString& input, int&) const
{
    if (input.isEmpty() || !onlyCharacters(input, QLatin1String("0123456789."))) {
        beep();
        return Invalid;
    }
    return Acceptable;
}

QValidator::State CustomTextFieldFormatter::validate(QString& input, int&) const
{
    return input.size() <= m_maxLength ? Acceptable : Invalid;
}

qint64 leadingIntegerValue(const QString& text)
{
    const QString trimmed = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < trimmed.size() && (trimmed[i] == QLatin1Char('-') || trimmed[i] == QLatin1Char('+'))) {
        negative = trimmed[i] == QLatin1Char('-');
        ++i;
    }
    qint64 value = 0;
    for (; i < trimmed.size() && trimmed[i].isDigit() && trimmed[i].unicode() < 128; ++i) {
        const int digit = trimmed[i].unicode() - '0';
        if (value > (std::numeric_limits<qint64>::max() - digit) / 10) {
            return negative ? std::numeric_limits<qint64>::min()
                            : std::numeric_limits<qint64>::max();
        }
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

QString repairedNumericText(int tag, const QString& text)
{
    if (tag != 30001 && tag != 30002) {
        return text;
    }
    const QString fallback = tag == 30001 ? QStringLiteral("2") : QStringLiteral("1");
    if (text.isEmpty()) {
        return fallback;
    }
    const auto isDigit = [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); };
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && !isDigit(text[first])) {
        ++first;
    }
    while (last > first && !isDigit(text[last - 1])) {
        --last;
    }
    const QString stripped = text.mid(first, last - first);
    return leadingIntegerValue(stripped) == 0 ? fallback : stripped;
}

void NumberField::textDidEndEditing()
{
    const qint64 value = leadingIntegerValue(text());
    const QString shown = QString::number(value);
    if (shown != text()) {
        setText(shown);
    }
    emit valueCommitted(value);
}

void NumberField::focusOutEvent(QFocusEvent* event)
{
    if (isModified()) {
        setModified(false);
        textDidEndEditing();
    }
    QLineEdit::focusOutEvent(event);
}

void NumberField::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        setModified(false);
        textDidEndEditing();
    }
    QLineEdit::keyPressEvent(event);
}

void FontColorButton::setBackgroundColor(const QColor& color)
{
    m_color = color;
    setAccessibleDescription(color.name(QColor::HexRgb));
    update();
}

QRect FontColorButton::swatchRect(const QSize& size)
{
    return QRect(3, 4, size.width() - 6, size.height() - 9);
}

void FontColorButton::paintEvent(QPaintEvent* event)
{
    QPushButton::paintEvent(event);
    QPainter painter(this);
    painter.fillRect(swatchRect(size()), m_color);
}

} // namespace veltrane
