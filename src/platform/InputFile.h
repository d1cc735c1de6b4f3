#pragma once

#include <QList>
#include <QString>

namespace veltrane {

// Why `path` cannot be read as an input file, judged from the file system alone, before any
// reader opens it: "not found", "permission denied", "not a regular file" (a FIFO or a device
// would block a reader forever), "file name is not valid UTF-8" (a name that arrived decoded
// with replacement characters names no file), or the system's own words. "" when it is a
// regular file that can be opened for reading. Any thread.
QString inputFileProblem(const QString& path);

// The entries of `folder` whose names are not valid UTF-8 and so cannot be named through a
// QString: shown with replacement characters. Hidden entries are left out. Any thread.
struct UndecodableEntry
{
    QString shownName;
    bool isFolder = false;
};
QList<UndecodableEntry> undecodableEntries(const QString& folder);

} // namespace veltrane
