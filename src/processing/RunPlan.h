#pragma once

#include "filelist/FileItem.h"

#include <QList>
#include <vector>

namespace veltrane {

class Numbering;

// Where each file of a run starts, worked out from the page counts before anything is stamped,
// as the one-at-a-time run would reach it: the running number, how many pages were stamped
// before it since the last reset (for the mirror alternation), and the "{1}" value.
struct FileStart
{
    qint64 numberCounter = 0;
    qint64 stampedBefore = 0;
    qint64 totalValue = 0;
};

// `job` has just been reset. Files without pages are skipped by the run and change nothing.
std::vector<FileStart> planRun(const Numbering& job, const QList<FileItem>& items,
                               qint64 totalPages);

// The number of pages of a `pages`-page file that get stamps.
qint64 stampedPageCount(const Numbering& job, qint64 pages);

// Puts every switched-on mirrored stamp into the state it has after `stampedPages` stamped pages
// since a reset.
void restoreMirrorStates(Numbering& job, qint64 stampedPages);

} // namespace veltrane
