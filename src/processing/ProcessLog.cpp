#include "processing/ProcessLog.h"

#include "platform/AppPaths.h"
#include "platform/DateFormat.h"
#include "platform/SystemLog.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QXmlStreamWriter>

namespace veltrane {
namespace {

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
    m_logFilePath = (folder.isEmpty() ? QString() : folder + QLatin1Char('/')) +
                    QStringLiteral("Logs/") + fileNameFor(endTime);
    QDir().mkpath(QFileInfo(m_logFilePath).absolutePath());
    QSaveFile file(m_logFilePath);
    const QByteArray xml = toXml();
    if (!file.open(QIODevice::WriteOnly) || file.write(xml) != xml.size() || !file.commit()) {
        systemLog(QStringLiteral("Could not write document out..."));
    }
    return true;
}

} // namespace veltrane
