#include "app/Formatters.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace veltrane {
namespace {

struct KeystrokeCase
{
    const char* name;
    const char* validator; // "integer9999", "integer", "decimal", "length1"
    const char* text;
    bool accepted;
    bool beeps;
};

class KeystrokeTest : public ::testing::TestWithParam<KeystrokeCase>
{};

TEST_P(KeystrokeTest, AcceptsRejectsAndBeepsAsTyped)
{
    const KeystrokeCase& c = GetParam();
    int beeps = 0;
    const auto previous = setBeepHandler([&beeps] { ++beeps; });
    std::unique_ptr<QValidator> validator;
    const QString kind = QLatin1String(c.validator);
    if (kind == QLatin1String("integer9999")) {
        validator = std::make_unique<CustomNumberFormatterInteger>(nullptr, 9999);
    } else if (kind == QLatin1String("integer")) {
        validator = std::make_unique<CustomNumberFormatterInteger>();
    } else if (kind == QLatin1String("decimal")) {
        validator = std::make_unique<CustomNumberFormatterDecimal>();
    } else {
        auto length = std::make_unique<CustomTextFieldFormatter>();
        length->setMaximumLength(1);
        validator = std::move(length);
    }
    QString text = QString::fromUtf8(c.text);
    int pos = int(text.size());
    EXPECT_EQ(validator->validate(text, pos) == QValidator::Acceptable, c.accepted);
    EXPECT_EQ(beeps, c.beeps ? 1 : 0);
    setBeepHandler(previous);
}

INSTANTIATE_TEST_SUITE_P(
    Formatters, KeystrokeTest,
    ::testing::Values(KeystrokeCase{"FourDigitsUnderMaximum", "integer9999", "1234", true, false},
                      KeystrokeCase{"FiveDigitsOverMaximum", "integer9999", "12345", false, false},
                      KeystrokeCase{"LetterBeeps", "integer9999", "12a", false, true},
                      KeystrokeCase{"SignBeeps", "integer9999", "-1", false, true},
                      KeystrokeCase{"LastDigitDeletedBeeps", "integer9999", "", false, true},
                      KeystrokeCase{"SixDigitsWithoutMaximum", "integer", "123456", true, false},
                      KeystrokeCase{"SevenDigitsWithoutMaximum", "integer", "1234567", false,
                                    false},
                      KeystrokeCase{"Decimal", "decimal", "1.25", true, false},
                      KeystrokeCase{"TwoPointsWhileTyping", "decimal", "1.2.3", true, false},
                      KeystrokeCase{"CommaBeeps", "decimal", "1,2", false, true},
                      KeystrokeCase{"DecimalEmptiedBeeps", "decimal", "", false, true},
                      KeystrokeCase{"OneCharacterOfAnyKind", "length1", "é", true, false},
                      KeystrokeCase{"SecondCharacterSilent", "length1", "ab", false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NumericRepair, TaggedFieldsFallBackToTheirDefaults)
{
    const struct
    {
        int tag;
        const char* text;
        const char* repaired;
    } cases[] = {{30001, "abc", "2"},   {30001, "x12y", "12"}, {30001, "0", "2"},
                 {30001, "1a2", "1a2"}, {30001, "", "2"},      {30002, "", "1"},
                 {30002, "007", "007"}, {30002, "00", "1"},    {12, "", ""}};
    for (const auto& c : cases) {
        EXPECT_EQ(repairedNumericText(c.tag, QString::fromUtf8(c.text)),
                  QString::fromUtf8(c.repaired))
            << c.tag << " " << c.text;
    }
}

TEST(NumberFieldTest, EndOfEditingKeepsTheLeadingInteger)
{
    const struct
    {
        const char* text;
        qint64 value;
    } cases[] = {{"12abc", 12}, {"3.7", 3}, {"abc", 0}, {"99999999999999999999", INT64_MAX}};
    for (const auto& c : cases) {
        EXPECT_EQ(leadingIntegerValue(QString::fromUtf8(c.text)), c.value) << c.text;
    }
    NumberField field;
    field.setText(u"3.7"_s);
    qint64 committed = -1;
    QObject::connect(&field, &NumberField::valueCommitted, [&](qint64 v) { committed = v; });
    field.textDidEndEditing();
    EXPECT_EQ(field.text(), u"3"_s);
    EXPECT_EQ(committed, 3);
}

TEST(FontColorButtonTest, SwatchInsideTheBezel)
{
    EXPECT_EQ(FontColorButton::swatchRect(QSize(40, 20)), QRect(3, 4, 34, 11));
    FontColorButton button;
    button.resize(40, 20);
    button.setBackgroundColor(QColor(200, 10, 20));
    const QImage shot = button.grab().toImage();
    EXPECT_EQ(shot.pixelColor(20, 9), QColor(200, 10, 20));
}

} // namespace
} // namespace veltrane
