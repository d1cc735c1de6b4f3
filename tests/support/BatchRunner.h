#pragma once

#include <QString>

class QProcess;
#include <QStringList>

namespace veltrane::test {

// One run of the real veltrane-batch command.
struct BatchRun
{
    int exitCode = -1; // -1 when it did not exit normally (killed, or timed out)
    QStringList out;   // standard output, a line each, empty lines dropped
    QString err;       // standard error as it came
    double seconds = 0;
    long peakKiB = 0; // the peak resident memory of this run alone
};

// Runs veltrane-batch with `arguments`, its preferences and data (logs) under `home`, without a
// display. `shell`, when given, runs first in a shell that then becomes the command (such as
// "ulimit -f 2"). Gives up after `timeoutSeconds`, killing the command.
BatchRun runBatch(const QStringList& arguments, const QString& home, const QString& shell = {},
                  int timeoutSeconds = 120);

// Starts veltrane-batch in `process` as runBatch does, for a test that signals it while it runs;
// its standard error goes to the test's.
void startBatch(QProcess& process, const QStringList& arguments, const QString& home);

} // namespace veltrane::test
