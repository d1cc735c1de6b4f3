#include "model/TextStamp.h"
#include "platform/DateFormat.h"
#include "support/ScopedLanguage.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

using namespace veltrane;

namespace {

struct CompositionCase
{
    const char* name;
    const char* format;
    qint32 type;
    qint64 paddingLength;
    const char* paddingCharacter;
    qint64 page;
    qint64 total;
    const char* expected;
};

class Composition : public ::testing::TestWithParam<CompositionCase>
{};

TEST_P(Composition, GivesTheTextExactly)
{
    const CompositionCase& c = GetParam();
    TextStamp stamp;
    stamp.setNumberFormat(QString::fromUtf8(c.format));
    stamp.setNumberType(c.type);
    stamp.setPaddingLength(c.paddingLength);
    stamp.setPaddingCharacter(QString::fromUtf8(c.paddingCharacter));
    EXPECT_EQ(stamp.composeText(c.page, c.total), QString::fromUtf8(c.expected));
}

const CompositionCase kCases[] = {
    {"PageOfTotal", "{0} of {1}", 1, 1, "0", 7, 12, "7 of 12"},
    {"ZeroFilled", "{0} of {1}", 1, 3, "0", 7, 12, "007 of 012"},
    {"RomanCapital", "{0} of {1}", 2, 1, "0", 7, 12, "VII of XII"},
    {"RomanSmall", "{0} of {1}", 3, 1, "0", 7, 12, "vii of xii"},
    {"PlainTextKeepsBraces", "{0} of {1}", 0, 5, "0", 7, 12, "{0} of {1}"},
    {"PagePrefix", "Page {0}", 1, 1, "0", 7, 12, "Page 7"},
    {"ValueZero", "{0}", 1, 1, "0", 0, 12, "0"},
    {"NoGroupingSeparators", "{0}", 1, 1, "0", 1234567, 1, "1234567"},
    {"StarPadding", "{0}", 1, 5, "*", 42, 1, "***42"},
    {"PaddingGoesBeforeTheSign", "{0}", 1, 4, "0", -5, 1, "00-5"},
    {"PaddedIndependently", "{0}/{1}", 1, 3, "0", 5, 1234, "005/1234"},
    {"MultiCharacterPadding", "{0}", 1, 4, "ab", 7, 1, "abab7"},
    {"RomanZeroIsEmpty", "{0} of {1}", 2, 1, "0", 0, 3, " of III"},
    {"RomanNegativeIsEmpty", "[{0}]", 3, 1, "0", -4, 3, "[]"},
    {"Roman1994", "{0}", 3, 1, "0", 1994, 1, "mcmxciv"},
    {"Roman3999", "{0}", 3, 1, "0", 3999, 1, "mmmcmxcix"},
    {"RomanHasNoUpperLimit", "{0}", 2, 1, "0", 4000, 1, "MMMM"},
    {"PercentIsLiteral", "50% {0}", 1, 1, "0", 7, 12, "50% 7"},
    {"FormatSpecifiersAreLiteral", "%d %@ {0}", 1, 1, "0", 7, 12, "%d %@ 7"},
    {"TotalBeforePage", "{1} / {0}", 1, 1, "0", 7, 12, "12 / 7"},
    {"RepeatedPlaceholders", "{0}-{0}-{1}", 1, 1, "0", 7, 12, "7-7-12"},
    {"OtherBracesStay", "{2} {a} {0", 1, 1, "0", 7, 12, "{2} {a} {0"},
    {"PlaceholdersAreCaseAndSpaceExact", "{ 0} {0 }", 1, 1, "0", 7, 12, "{ 0} {0 }"},
    {"ValuesAreTakenAs32Bit", "{0} of {1}", 1, 1, "0", 4294967303LL, 4294967296LL, "7 of 0"},
    {"EmptyTemplateDrawsNothing", "", 1, 1, "0", 7, 12, ""},
    {"EmptyPaddingDoesNotPad", "{0}", 1, 10, "", 7, 12, "7"},
    {"UnknownTypeShowsTheTemplate", "{0} of {1}", 9, 1, "0", 7, 12, "{0} of {1}"},
};

INSTANTIATE_TEST_SUITE_P(TextStamp, Composition, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace

TEST(TextStampComposition, HugePaddingLengthIsBounded)
{
    TextStamp stamp;
    stamp.setNumberFormat(u"{0}"_s);
    stamp.setPaddingLength(1'000'000'000'000LL);
    const QString text = stamp.composeText(7, 1);
    EXPECT_EQ(text.size(), kMaxPaddedLength);
    EXPECT_TRUE(text.endsWith(u"07"_s));
}

TEST(TextStampComposition, PhotoDateUsesTheCaptureDateInTheUsersLanguage)
{
    test::ScopedLanguage german("de_DE.UTF-8");
    TextStamp stamp;
    stamp.setNumberType(PhotoDateTime);
    stamp.setDateTaken(u"2011:07:04 15:30:00"_s);
    stamp.setNumberFormat(u"{0} yyyy"_s);
    EXPECT_EQ(stamp.composeText(7, 12), u"{0} 2011"_s);
    stamp.setNumberFormat(u"d MMMM yyyy, HH:mm"_s);
    EXPECT_EQ(stamp.composeText(7, 12), u"4 Juli 2011, 15:30"_s);
}

TEST(TextStampComposition, PhotoDateWithoutCaptureDateIsNowAndUnreadableIsNothing)
{
    TextStamp stamp;
    stamp.setNumberType(PhotoDateTime);
    stamp.setNumberFormat(u"yyyy-MM-dd"_s);
    const QString before = QDate::currentDate().toString(Qt::ISODate);
    const QString text = stamp.composeText(1, 1);
    const QString after = QDate::currentDate().toString(Qt::ISODate);
    EXPECT_TRUE(text == before || text == after) << text.toStdString();

    for (const char* bad : {"2011-07-04 15:30:00", "yesterday", "2011:02:30 10:00:00"}) {
        stamp.setDateTaken(QString::fromLatin1(bad));
        EXPECT_EQ(stamp.composeText(1, 1), QString()) << bad;
    }
}

TEST(TextStampComposition, DescriptionNamesTypeAndTemplate)
{
    TextStamp stamp;
    EXPECT_EQ(stamp.description(), u"Numbers [{0} of {1}]"_s);
    stamp.setNumberType(PhotoDateTime);
    stamp.setNumberFormat(u"d MMM yy"_s);
    EXPECT_EQ(stamp.description(), u"Photo Date Time [d MMM yy]"_s);
    stamp.setNumberType(12);
    EXPECT_EQ(stamp.description(), u" [d MMM yy]"_s);
}
