#include "processing/ProcessLog.h"

#include "platform/AppPaths.h"
#include "support/ScopedLanguage.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QXmlStreamReader>

using namespace Qt::StringLiterals;

using namespace veltrane;

TEST(ProcessLog, WritesTheFormatThatReadsBackElementByElement)
{
    test::ScopedLanguage english("en_US.UTF-8");
    Log log;
    log.startTime = QDateTime(QDate(2026, 12, 5), QTime(0, 30, 0));
    log.endTime = QDateTime(QDate(2026, 12, 5), QTime(14, 7, 9));
    LogFiles first;
    first.filename = u"A & \"B\" <c>.pdf"_s;
    first.targetPath = u"/out"_s;
    first.status = u"Completed"_s;
    first.pages = 12;
    first.logFiles.append({u"Failed"_s, u"/in/a.pdf"_s, 3, 1});
    LogFiles second;
    second.filename = u"b.tif"_s;
    second.targetPath = u"/out"_s;
    second.status = u"No Pages"_s;
    second.reason = u"needs a password"_s;
    log.files = {first, second};
    ASSERT_TRUE(log.save());
    EXPECT_EQ(log.logFilePath(), getAppPath() + u"/Logs/051226140709.log"_s);

    QFile file(log.logFilePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray xml = file.readAll();
    QXmlStreamReader reader(xml);
    QStringList seen;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement) {
            continue;
        }
        QStringList attributes;
        for (const QXmlStreamAttribute& a : reader.attributes()) {
            attributes << a.name().toString() + QLatin1Char('=') + a.value().toString();
        }
        seen << reader.name().toString() + QLatin1Char(' ') + attributes.join(QLatin1Char(' '));
    }
    EXPECT_FALSE(reader.hasError());
    EXPECT_EQ(seen,
              QStringList({
                  u"Log StartTime=12/05/2026 12:30:00 AM EndTime=12/05/2026 02:07:09 PM"_s,
                  u"Files FileName=A & \"B\" <c>.pdf TargetPath=/out Status=Completed Pages=12"_s,
                  u"File SourceImageFile=/in/a.pdf SourcePageNo=3 PageNo=1 Status=Failed"_s,
                  QStringLiteral("Files FileName=b.tif TargetPath=/out Status=No Pages Pages=0 "
                                 "Reason=needs a password"),
              }));
    EXPECT_GE(xml.count('\n'), 5); // one element a line
}

TEST(ProcessLog, RunsEndingInTheSameSecondKeepALogEach)
{
    const QDateTime end(QDate(2026, 3, 4), QTime(5, 6, 7));
    QStringList paths;
    for (int run = 1; run <= 3; ++run) {
        Log log;
        log.endTime = end;
        LogFiles file;
        file.filename = u"run%1.pdf"_s.arg(run);
        log.files = {file};
        log.save();
        paths << log.logFilePath();
    }
    const QString logs = getAppPath() + u"/Logs/"_s;
    EXPECT_EQ(paths, QStringList({logs + u"040326050607.log"_s, logs + u"040326050607-2.log"_s,
                                  logs + u"040326050607-3.log"_s}));
    for (int run = 1; run <= 3; ++run) {
        QFile file(paths[run - 1]);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_TRUE(file.readAll().contains("run" + QByteArray::number(run) + ".pdf"));
    }
}
