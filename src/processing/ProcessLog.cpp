#include "processing/ProcessLog.h"

#include "platform/AppPaths.h"
#include "platform/DateFormat.h"
#include "platform/StagedFile.h"
#include "platform/SystemLog.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QXmlStreamWriter>

namespace veltrane {
namespace {

// Logs of one second beyond this many keep the last name (and replace that log).
constexpr int kMaxLogSuffix = 1000;

QString logTime(const QDateTime& when)
{
    return formatDate(when, QStringLiteral("MM/dd/yyyy hh:mm:ss a")).value_or(QString());
}

} // namespace

Log::Log() : startTime(QDateTime::currentDateTime()), endTime(startTime) {}

QString Log::fileNameFor(const QDateTime& end)
{
    return formatDate(end, QStringLiteral("ddMMyyHHmmss"), QStringLiteral("en_US_POSIX"))
               .value_or(QString()) +
           QStringLiteral(".log");
}

QByteArray Log::toXml() const
{
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(2);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("Log"));
    xml.writeAttribute(QStringLiteral("StartTime"), logTime(startTime));
    xml.writeAttribute(QStringLiteral("EndTime"), logTime(endTime));
    for (const LogFiles& file : files) {
        xml.writeStartElement(QStringLiteral("Files"));
        xml.writeAttribute(QStringLiteral("FileName"), file.filename);
        xml.writeAttribute(QStringLiteral("TargetPath"), file.targetPath);
        xml.writeAttribute(QStringLiteral("Status"), file.status);
        xml.writeAttribute(QStringLiteral("Pages"), QString::number(file.pages));
        if (!file.reason.isEmpty()) {
            // Beyond the format's own attributes: readers that know only those pass it by.
            xml.writeAttribute(QStringLiteral("Reason"), file.reason);
        }
        if (!file.note.isEmpty()) {
            xml.writeAttribute(QStringLiteral("Note"), file.note);
        }
        for (const LogFile& page : file.logFiles) {
            xml.writeStartElement(QStringLiteral("File"));
            xml.writeAttribute(QStringLiteral("SourceImageFile"), page.sourceFile);
            xml.writeAttribute(QStringLiteral("SourcePageNo"), QString::number(page.sourcePageNo));
            xml.writeAttribute(QStringLiteral("PageNo"), QString::number(page.targetPageNo));
            xml.writeAttribute(QStringLiteral("Status"), page.status);
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return out;
}

bool Log::save()
{
    const QString folder = getAppPath();
    const QString logs =
        (folder.isEmpty() ? QString() : folder + QLatin1Char('/')) + QStringLiteral("Logs/");
    QDir().mkpath(logs);
    // Runs that end in the same second, in this program or another, must not share a file:
    // the name is claimed before it is written, and a taken one gets "-2", "-3", ...
    bool claimed = !m_logFilePath.isEmpty();
    const QString stem = fileNameFor(endTime).chopped(4);
    for (int n = 1; !claimed && n <= kMaxLogSuffix; ++n) {
        m_logFilePath = logs + stem + (n == 1 ? QString() : QStringLiteral("-%1").arg(n)) +
                        QStringLiteral(".log");
        const NewFile made = claimNewFile(m_logFilePath);
        claimed = made == NewFile::Created;
        if (made == NewFile::Failed) {
            break; // the write below fails and says so
        }
    }
    QSaveFile file(m_logFilePath);
    const QByteArray xml = toXml();
    if (!file.open(QIODevice::WriteOnly) || file.write(xml) != xml.size() || !file.commit()) {
        systemLog(QStringLiteral("Could not write document out..."));
        if (claimed && QFileInfo(m_logFilePath).size() == 0) {
            QFile::remove(m_logFilePath);
        }
    }
    return true;
}

} // namespace veltrane
