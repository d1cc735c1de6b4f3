#include "usage/UsagesReporting.h"

#include "platform/AppPaths.h"
#include "support/LogCapture.h"
#include "UsageFixtures.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QFileInfo>
#include <QSignalSpy>
#include <QSysInfo>

using namespace Qt::StringLiterals;

using namespace veltrane;

TEST(UsagesReporting, StartUpWithoutAFileWritesTheDefaultsWithOneOutputFilesFeature)
{
    test::UsageFolder folder;
    test::LogCapture log;
    UsagesReporting record(folder.settings());
    record.prepareForApplication();

    const QDateTime built = QFileInfo(QCoreApplication::applicationFilePath()).lastModified();
    EXPECT_EQ(record.record().buildDate, built);
    EXPECT_EQ(QString::fromUtf8(folder.read()),
              uR"(<?xml version="1.0" encoding="utf-8"?>
<!--%1 %2 Usages Reporting File-->
<usagesreporting xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xmlns:xsd="http://www.w3.org/2001/XMLSchema">
  <productname>%1</productname>
  <productversion>%2</productversion>
  <builddate>%3</builddate>
  <hardwareUUID>%4</hardwareUUID>
  <enabled>false</enabled>
  <lastreportsenton>2026-03-04T05:06:07.089+01:00</lastreportsenton>
  <lastReviewAskDate>2026-03-04T05:06:07.089+01:00</lastReviewAskDate>
  <neverAskForReview>false</neverAskForReview>
  <nextReviewTargetValue>1500</nextReviewTargetValue>
  <features>
    <featureusages>
      <name>Output Files</name>
      <usagescount>1</usagescount>
      <filescount>0</filescount>
    </featureusages>
  </features>
</usagesreporting>
)"_s.arg(QCoreApplication::applicationName(), QCoreApplication::applicationVersion(),
              built.toOffsetFromUtc(built.offsetFromUtc()).toString(Qt::ISODateWithMs),
              QString::fromLatin1(QSysInfo::machineUniqueId())));
    EXPECT_EQ(record.reviewURL(), UsagesSettings().reviewPage);
    EXPECT_TRUE(log.lines().isEmpty());
    EXPECT_EQ(UsagesReporting().filePath(), getAppPath() + u"/Usages.Log"_s);
}

TEST(UsagesReporting, UpdateCountsOnTheLastFeatureOfThatNameOrAddsOneAndSaves)
{
    test::UsageFolder folder;
    folder.write("<usagesreporting><nextReviewTargetValue>700</nextReviewTargetValue><features>"
                 "<featureusages><name>Output Files</name></featureusages><featureusages><name>"
                 "Output Files</name><filescount>2147483647</filescount></featureusages>"
                 "</features></usagesreporting>");
    UsagesReporting record(folder.settings());
    record.prepareForApplication();
    record.updateUsages(u"Output Files"_s, 2147483647);
    record.updateUsages(u"Other"_s, 3);
    record.applyAction(true);
    const UsagesReporting reread(folder.settings());
    EXPECT_EQ(reread.record().features,
              QList<FeatureUsages>({FeatureUsages(u"Output Files"_s, 0, 0),
                                    FeatureUsages(u"Output Files"_s, 1, 4294967294),
                                    FeatureUsages(u"Other"_s, 1, 3)}));
    EXPECT_EQ(reread.record().nextReviewTargetValue, 700); // a stored target is kept
    EXPECT_TRUE(reread.isEnabled());
}

TEST(UsagesReporting, ReviewPromptNeedsFilesThenComesAfterEveryFurther1500)
{
    test::UsageFolder folder;
    UsagesReporting record(folder.settings());
    record.prepareForApplication();
    QSignalSpy requests(&record, &UsagesReporting::reviewRequested);
    const auto filesThenCheck = [&](qint32 files) {
        record.updateUsages(u"Output Files"_s, files);
        return record.validate(false);
    };
    EXPECT_FALSE(filesThenCheck(0));
    EXPECT_FALSE(filesThenCheck(1499));
    EXPECT_TRUE(filesThenCheck(101));
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests[0], QVariantList({UsagesSettings().reviewPage, false}));

    folder.clock = folder.clock.addDays(3);
    record.reviewWindowControllerDidFinished(false);
    EXPECT_EQ(UsagesReporting(folder.settings()).record().lastReviewAskDate, folder.clock);
    EXPECT_FALSE(filesThenCheck(1499));
    EXPECT_TRUE(filesThenCheck(1)); // 3100
    record.reviewWindowControllerDidFinished(true);
    EXPECT_FALSE(filesThenCheck(100000));
    EXPECT_EQ(requests.size(), 2);
}

TEST(UsagesReporting, NoPromptWithoutFilesWhateverTheTarget)
{
    test::UsageFolder folder;
    folder.write("<usagesreporting><nextReviewTargetValue>-5</nextReviewTargetValue>"
                 "</usagesreporting>");
    UsagesReporting record(folder.settings());
    record.prepareForApplication();
    EXPECT_FALSE(record.validate(false));
    record.updateUsages(u"Output Files"_s, 1);
    record.setIsReviewEnabled(false);
    EXPECT_FALSE(record.validate(false));
}
