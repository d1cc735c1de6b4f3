#include "platform/DateFormat.h"

#include "support/ScopedLanguage.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

using namespace veltrane;

namespace {
const QDateTime kJuly4 = QDateTime(QDate(2011, 7, 4), QTime(15, 30, 0));
}

TEST(DateFormat, UnicodePatternsInTheGivenLanguage)
{
    EXPECT_EQ(formatDate(kJuly4, u"d MMM yy"_s, u"en_US"_s), u"4 Jul 11"_s);
    EXPECT_EQ(formatDate(kJuly4, u"d MMMM yyyy"_s, u"de_DE.UTF-8"_s), u"4 Juli 2011"_s);
    EXPECT_EQ(formatDate(kJuly4, u"MM/dd/yyyy hh:mm:ss a"_s, u"en_US"_s),
              u"07/04/2011 03:30:00 PM"_s);
    EXPECT_EQ(formatDate(kJuly4, u"ddMMyyHHmmss"_s, u"C"_s), u"040711153000"_s);
    EXPECT_EQ(formatDate(kJuly4, u"'quoted' yyyy"_s, u"en_US"_s), u"quoted 2011"_s);
    EXPECT_FALSE(formatDate(QDateTime(), u"yyyy"_s).has_value()); // an invalid date
}

TEST(DateFormat, StrictParseOfTheWholeText)
{
    const QString pattern = u"yyyy:MM:dd HH:mm:ss"_s;
    EXPECT_EQ(parseDate(u"2011:07:04 15:30:00"_s, pattern), kJuly4);
    for (const char* bad : {"2011-07-04 15:30:00", "2011:13:04 15:30:00", "2011:07:04 15:30:00x",
                            "2011:07:04", "", "    :  :     :  :  "}) {
        EXPECT_FALSE(parseDate(QString::fromLatin1(bad), pattern).has_value()) << bad;
    }
}

TEST(DateFormat, UserLocaleComesFromTheEnvironment)
{
    test::ScopedLanguage french("fr_FR.UTF-8");
    EXPECT_EQ(userDateLocale(), u"fr_FR.UTF-8"_s);
    EXPECT_EQ(formatDate(kJuly4, u"d MMMM"_s), u"4 juillet"_s);
}
