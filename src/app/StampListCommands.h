#pragma once

#include "model/Numbering.h"

#include <QList>

namespace veltrane {

// The stamp list's editing rules, on the job's stamps and the rows selected in the stamps table
// (any order, duplicates allowed). Each returns the rows to select afterwards. Main thread.

// Removes the stamps at `rows`, closing their editors first. The new selection is the row above
// the last removed one (row 0 when that was row 0); nothing selected when `rows` is empty.
QList<int> removeStampRows(StampList& stamps, const QList<int>& rows);

// Removes one given stamp: the selected rows when the first of them holds it, otherwise the
// stamp wherever it is (then row 0 is selected).
QList<int> removeOneStamp(StampList& stamps, const QList<int>& rows, const IStampItem* stamp);

// Moves the selected stamps one row up (down), together. When the selection already touches the
// end it moves toward, nothing moves and nothing stays selected.
QList<int> moveStampRowsUp(StampList& stamps, const QList<int>& rows);
QList<int> moveStampRowsDown(StampList& stamps, const QList<int>& rows);

// The enabling rules of the stamp list buttons for a selection.
struct StampButtonsState
{
    bool moveUp = false;
    bool moveDown = false;
    bool remove = false;
};
StampButtonsState stampButtonsState(qsizetype stampCount, const QList<int>& rows);

} // namespace veltrane
