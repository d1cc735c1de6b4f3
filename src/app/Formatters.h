#pragma once

#include <functional>
#include <optional>
#include <QLineEdit>
#include <QPushButton>
#include <QValidator>

namespace veltrane {

// The beep a refused keystroke sounds; tests count it instead. Main thread.
void beep();
std::function<void()> setBeepHandler(std::function<void()> handler);

// Digits only, at most as many as the maximum has (6 without one). A character that is not a
// digit, or a field emptied by deletion, beeps and is refused; a text that is too long is refused
// silently.
class CustomNumberFormatterInteger : public QValidator
{
public:
    explicit CustomNumberFormatterInteger(QObject* parent = nullptr,
                                          std::optional<qint64> maximum = {});
    State validate(QString& input, int& pos) const override;
    std::optional<qint64> maximum() const { return m_maximum; }

private:
    std::optional<qint64> m_maximum;
};

// Digits and "." only, any number of them (the value is judged when editing ends); anything
// else, or an empty field, beeps and is refused.
class CustomNumberFormatterDecimal : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

// At most maxLength characters of any kind; a longer text is refused without a beep.
class CustomTextFieldFormatter : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
    qint32 maximumLength() const { return m_maxLength; }
    void setMaximumLength(qint32 length) { m_maxLength = length; }

private:
    qint32 m_maxLength = 2147483647;
};

// The leading integer of a text: "12abc" 12, "3.7" 3, "abc" 0 (saturating at the 64-bit range).
qint64 leadingIntegerValue(const QString& text);

// The repair of the numeric fields tagged 30001 and 30002: an empty text or one whose digits,
// stripped of leading and trailing non-digits, make 0 becomes the field's default ("2" for
// 30001, "1" for 30002); otherwise the stripped text. Other tags leave the text as it is.
QString repairedNumericText(int tag, const QString& text);

// A text field that, when editing ends (Return or focus leaving), shows the leading integer of
// its text and then reports the end of editing as a plain field does.
class NumberField : public QLineEdit
{
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;
    void textDidEndEditing();

signals:
    void valueCommitted(qint64 value);

protected:
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

// A button showing a colour as a solid swatch inside its bezel. Its accessible description names
// the colour.
class FontColorButton : public QPushButton
{
    Q_OBJECT
public:
    using QPushButton::QPushButton;
    QColor backgroundColor() const { return m_color; }
    void setBackgroundColor(const QColor& color);
    // The swatch of a button of `size`, in its own coordinates.
    static QRect swatchRect(const QSize& size);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_color = Qt::black;
};

} // namespace veltrane
