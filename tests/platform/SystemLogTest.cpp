#include "platform/SystemLog.h"

#include "support/LogCapture.h"

#include <gtest/gtest.h>
#include <stdexcept>

using namespace veltrane;

TEST(SystemLog, PlaceholderTakesTheReasonExactly)
{
    test::LogCapture log;
    systemLogError(QStringLiteral("Error in (Numbering=>setData:) : %@"),
                   QStringLiteral("bad %@ value"));
    EXPECT_EQ(log.lines(),
              QStringList{QStringLiteral("Error in (Numbering=>setData:) : bad %@ value")});
}

TEST(SystemLog, GuardLogsOneLineAndKeepsWorkDoneBeforeTheFailure)
{
    test::LogCapture log;
    int steps = 0;
    const bool ok = guarded(QStringLiteral("Error in [save:] : %@"), [&] {
        ++steps;
        throw std::runtime_error("disk full");
    });
    EXPECT_FALSE(ok);
    EXPECT_EQ(steps, 1);
    EXPECT_EQ(log.lines(), QStringList{QStringLiteral("Error in [save:] : disk full")});

    log.clear();
    EXPECT_FALSE(guarded(QStringLiteral("Error in doStamp : %@"), [] { throw std::bad_alloc(); }));
    EXPECT_EQ(log.lines(), QStringList{QStringLiteral("Error in doStamp : out of memory")});

    log.clear();
    EXPECT_TRUE(guarded(QStringLiteral("Error in doStamp : %@"), [] {}));
    EXPECT_TRUE(log.lines().isEmpty());
}

TEST(SystemLog, WithoutASinkTheLineGoesToStandardError)
{
    testing::internal::CaptureStderr();
    systemLog(QStringLiteral("Error in (export) : no such folder"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error in (export) : no such folder\n");
}
