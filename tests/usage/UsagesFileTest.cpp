#include "usage/UsagesFile.h"

#include "support/LogCapture.h"
#include "UsageFixtures.h"

#include <gtest/gtest.h>
#include <QCoreApplication>

using namespace Qt::StringLiterals;

using namespace veltrane;

TEST(UsagesFile, ReadsBackWhatItWritesButTheHardwareIdentifier)
{
    UsagesRecord written;
    written.productName = u"a--b-"_s; // must not break the comment
    written.buildDate = QDateTime::fromString(u"2026-07-01T10:00:00.250Z"_s, Qt::ISODate);
    written.lastReportSentOn = written.buildDate.addMonths(6);
    written.lastReviewAskDate = written.buildDate.addMSecs(-1);
    written.hardwareUUID = u"4c4c4544"_s;
    written.isEnabled = written.neverAskForReview = true;
    written.nextReviewTargetValue = 6000000000; // past 32 bits
    written.features = {FeatureUsages(u"A & <B>"_s, 3, 1600)};
    const QByteArray xml = usagesToXml(written);
    EXPECT_TRUE(xml.contains("<builddate>2026-07-01T12:00:00.250+02:00</builddate>"));
    EXPECT_TRUE(xml.contains("<lastreportsenton>2027-01-01T11:00:00.250+01:00</lastreportsenton>"));
    UsagesRecord read;
    QString error;
    ASSERT_TRUE(readUsagesXml(xml, read, &error)) << error.toStdString();
    written.hardwareUUID.clear();
    EXPECT_EQ(read, written);
}

TEST(UsagesFile, LastElementWinsFeaturesAppendAndUnreadableValuesKeepTheField)
{
    UsagesRecord record;
    record.features = {FeatureUsages(u"Output Files"_s, 1, 0)};
    record.nextReviewTargetValue = 1500;
    record.buildDate = QDateTime::fromMSecsSinceEpoch(0);
    UsagesRecord expected = record;
    expected.productName = u"BC"_s;
    expected.features += {FeatureUsages(u"b"_s, 3, 0), FeatureUsages()};
    const QByteArray xml = R"(<usagesreporting>
      <productname>A</productname><productname>B<i>C</i></productname><x><productversion>9
      </productversion></x><builddate>yesterday</builddate><hardwareUUID>z</hardwareUUID>
      <nextReviewTargetValue>12x</nextReviewTargetValue><enabled>TRUE</enabled><enabled>1</enabled>
      <features><featureusages><name>a</name><name>b</name><usagescount>3</usagescount>
      </featureusages></features><features><featureusages><filescount>7</filescount>
      <filescount>x</filescount></featureusages></features></usagesreporting>)";
    ASSERT_TRUE(readUsagesXml(xml, record, nullptr));
    EXPECT_EQ(record, expected);
    EXPECT_EQ(record.features[1].description(), u"name : b usagesCount:3 filesCount:0"_s);
    ASSERT_TRUE(readUsagesXml("<usagesreporting><enabled>true</enabled><enabled>TRUE</enabled>"
                              "</usagesreporting>",
                              record, nullptr));
    EXPECT_TRUE(record.isEnabled); // only ever switched on
}

TEST(UsagesFile, ElementsNestedHalfAMillionDeepReadWithoutExhaustingTheStack)
{
    const QByteArray open = QByteArray("<a>").repeated(500000);
    const QByteArray close = QByteArray("</a>").repeated(500000);
    UsagesRecord record;
    ASSERT_TRUE(readUsagesXml("<usagesreporting><productname>" + open + "deep" + close +
                                  "</productname><x>" + open + close + "</x></usagesreporting>",
                              record, nullptr));
    EXPECT_EQ(record.productName, u"deep"_s);
}

struct HostileFile
{
    const char* name;
    QByteArray bytes;
    QString line; // the whole log line; "" when the parser's own words follow the prefix
    friend void PrintTo(const HostileFile& file, std::ostream* os) { *os << file.name; }
};

class HostileUsagesFile : public ::testing::TestWithParam<HostileFile>
{};

TEST_P(HostileUsagesFile, KeepsTheDefaultsLogsAndIsReplacedByASoundFile)
{
    test::UsageFolder folder;
    folder.write(GetParam().bytes);
    test::LogCapture log;
    UsagesReporting record(folder.settings());

    EXPECT_TRUE(record.record().features.isEmpty());
    EXPECT_EQ(record.record().productName, QCoreApplication::applicationName());
    ASSERT_EQ(log.lines().size(), 1);
    const QString prefix = u"Error in load : cannot read %1: "_s.arg(folder.path());
    if (GetParam().line.isEmpty()) {
        EXPECT_TRUE(log.lines()[0].startsWith(prefix)) << log.lines()[0].toStdString();
    } else {
        EXPECT_EQ(log.lines()[0], GetParam().line.arg(folder.path()));
    }
    UsagesRecord reread;
    EXPECT_TRUE(readUsagesXml(folder.read(), reread, nullptr));
    EXPECT_EQ(reread.lastReportSentOn, folder.clock);
}

INSTANTIATE_TEST_SUITE_P(
    Refused, HostileUsagesFile,
    ::testing::Values(
        HostileFile{"Empty", QByteArray(), {}},
        HostileFile{"Truncated", "<usagesreporting><productname>X</product", {}},
        HostileFile{"Binary", QByteArray("\x89PNG\r\n\x1a\n\0\0\xff\xfe", 12), {}},
        HostileFile{"UndeclaredEntity", "<usagesreporting><productname>&lol;</productname>", {}},
        HostileFile{"EntityExpansion",
                    R"(<!DOCTYPE u [<!ENTITY a "aaaaaaaaaa"><!ENTITY b "&a;&a;&a;&a;&a;&a;">]>
<usagesreporting><productname>&b;&b;&b;</productname></usagesreporting>)",
                    QStringLiteral("Error in load : cannot read %1: document type declarations "
                                   "are not accepted (line 1, column 71)")},
        HostileFile{"Huge", QByteArray(kMaxUsagesFileSize + 1, ' '),
                    u"Error in load : %1 is larger than 4194304 bytes"_s}),
    [](const auto& info) { return std::string(info.param.name); });
