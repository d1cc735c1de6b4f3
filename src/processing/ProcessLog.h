#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

namespace veltrane {

// One page of an output (the run writes none; the format allows them).
struct LogFile
{
    QString status;
    QString sourceFile;
    qint32 sourcePageNo = 0;
    qint32 targetPageNo = 0;
};

// One output file of a run.
struct LogFiles
{
    QList<LogFile> logFiles;
    QString status;     // "Completed", "Failed", "No Pages" or a failure's reason
    QString reason;     // why the file was not completed ("needs a password", ...); "" otherwise
    QString note;       // what a completed file left out ("frame 5 of 5 could not be read")
    QString targetPath; // folder of the output
    QString filename;   // file name of the output
    qint32 pages = 0;
};

// The record of one run, saved as an XML file in the "Logs" folder of the data folder, named
// by its end time ("ddMMyyHHmmss.log").
class Log
{
public:
    Log();

    QList<LogFiles> files;
    QDateTime startTime;
    QDateTime endTime;

    // Writes the log atomically and records its path; a failed write logs "Could not write
    // document out..." and keeps the path. Always true.
    bool save();
    QString logFilePath() const { return m_logFilePath; }

    // The document as save() writes it.
    QByteArray toXml() const;
    // The file name for an end time: "ddMMyyHHmmss.log".
    static QString fileNameFor(const QDateTime& end);

private:
    QString m_logFilePath;
};

} // namespace veltrane
