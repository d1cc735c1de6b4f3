#include "platform/SystemLog.h"

#include "support/LogCapture.h"

#include <gtest/gtest.h>
#include <stdexcept>

using namespace Qt::StringLiterals;

using namespace veltrane;

TEST(SystemLog, PlaceholderTakesTheReasonExactly)
{
    test::LogCapture log;
    systemLogError(u"Error in (Numbering=>setData:) : %@"_s, u"bad %@ value"_s);
    EXPECT_EQ(log.lines(), QStringList{u"Error in (Numbering=>setData:) : bad %@ value"_s});
}

TEST(SystemLog, GuardLogsOneLineAndKeepsWorkDoneBeforeTheFailure)
{
    test::LogCapture log;
    int steps = 0;
    const bool ok = guarded(u"Error in [save:] : %@"_s, [&] {
        ++steps;
        throw std::runtime_error("disk full");
    });
    EXPECT_FALSE(ok);
    EXPECT_EQ(steps, 1);
    EXPECT_EQ(log.lines(), QStringList{u"Error in [save:] : disk full"_s});

    log.clear();
    EXPECT_FALSE(guarded(u"Error in doStamp : %@"_s, [] { throw std::bad_alloc(); }));
    EXPECT_EQ(log.lines(), QStringList{u"Error in doStamp : out of memory"_s});

    log.clear();
    EXPECT_TRUE(guarded(u"Error in doStamp : %@"_s, [] {}));
    EXPECT_TRUE(log.lines().isEmpty());
}

TEST(SystemLog, WithoutASinkTheLineGoesToStandardError)
{
    testing::internal::CaptureStderr();
    systemLog(u"Error in (export) : no such folder"_s);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error in (export) : no such folder\n");
}
