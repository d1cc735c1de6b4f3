#pragma once

#include <QStringList>

namespace veltrane {

// The veltrane-batch command: parses `arguments` (program name first), stamps the inputs and
// prints one line per file, the summary, the time taken and the log path. Returns the exit
// status: 0 every file created, 1 a file failed or had no pages or the run was cancelled,
// 2 bad usage or a run that could not start.
int runBatchCommand(const QStringList& arguments);

} // namespace veltrane
