#include "platform/DateFormat.h"

#include "support/ScopedLanguage.h"

#include <gtest/gtest.h>

using namespace veltrane;

namespace {
const QDateTime kJuly4 = QDateTime(QDate(2011, 7, 4), QTime(15, 30, 0));
}

TEST(DateFormat, UnicodePatternsInTheGivenLanguage)
{
    EXPECT_EQ(formatDate(kJuly4, QStringLiteral("d MMM yy"), QStringLiteral("en_US")),
              QStringLiteral("4 Jul 11"));
    EXPECT_EQ(formatDate(kJuly4, QStringLiteral("d MMMM yyyy"), QStringLiteral("de_DE.UTF-8")),
              QStringLiteral("4 Juli 2011"));
    EXPECT_EQ(formatDate(kJuly4, QStringLiteral("MM/dd/yyyy hh:mm:ss a"), QStringLiteral("en_US")),
              QStringLiteral("07/04/2011 03:30:00 PM"));
    EXPECT_EQ(formatDate(kJuly4, QStringLiteral("ddMMyyHHmmss"), QStringLiteral("C")),
              QStringLiteral("040711153000"));
    EXPECT_EQ(formatDate(kJuly4, QStringLiteral("'quoted' yyyy"), QStringLiteral("en_US")),
              QStringLiteral("quoted 2011"));
}

TEST(DateFormat, InvalidInputGivesNoValue)
{
    EXPECT_FALSE(formatDate(QDateTime(), QStringLiteral("yyyy")).has_value());
}

TEST(DateFormat, StrictParseOfTheWholeText)
{
    const QString pattern = QStringLiteral("yyyy:MM:dd HH:mm:ss");
    EXPECT_EQ(parseDate(QStringLiteral("2011:07:04 15:30:00"), pattern), kJuly4);
    for (const char* bad : {"2011-07-04 15:30:00", "2011:13:04 15:30:00", "2011:07:04 15:30:00x",
                            "2011:07:04", "", "    :  :     :  :  "}) {
        EXPECT_FALSE(parseDate(QString::fromLatin1(bad), pattern).has_value()) << bad;
    }
}

TEST(DateFormat, UserLocaleComesFromTheEnvironment)
{
    test::ScopedLanguage french("fr_FR.UTF-8");
    EXPECT_EQ(userDateLocale(), QStringLiteral("fr_FR.UTF-8"));
    EXPECT_EQ(formatDate(kJuly4, QStringLiteral("d MMMM")), QStringLiteral("4 juillet"));
}
