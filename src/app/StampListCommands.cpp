#include "app/StampListCommands.h"

#include <algorithm>
#include <QSet>

namespace veltrane {
namespace {

QList<int> validSorted(const StampList& stamps, QList<int> rows)
{
    rows.erase(std::remove_if(rows.begin(), rows.end(),
                              [&](int row) { return row < 0 || row >= qsizetype(stamps.size()); }),
               rows.end());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

} // namespace

QList<int> removeStampRows(StampList& stamps, const QList<int>& rows)
{
    const QList<int> sorted = validSorted(stamps, rows);
    if (sorted.isEmpty()) {
        return {};
    }
    // Every removed stamp's editor is closed, not only the first one's: an editor left open
    // would edit a stamp that no longer exists.
    for (auto it = sorted.rbegin(); it != sorted.rend(); ++it) {
        stamps[*it]->removehandlers();
        stamps.erase(stamps.begin() + *it);
    }
    return {std::max(sorted.last() - 1, 0)};
}

QList<int> removeOneStamp(StampList& stamps, const QList<int>& rows, const IStampItem* stamp)
{
    const QList<int> sorted = validSorted(stamps, rows);
    if (!sorted.isEmpty() && !rows.isEmpty() && rows.first() >= 0 &&
        rows.first() < qsizetype(stamps.size()) && stamps[rows.first()].get() == stamp) {
        return removeStampRows(stamps, sorted);
    }
    const auto it = std::find_if(stamps.begin(), stamps.end(),
                                 [stamp](const auto& item) { return item.get() == stamp; });
    if (it != stamps.end()) {
        (*it)->removehandlers();
        stamps.erase(it);
    }
    return {0};
}

QList<int> moveStampRowsUp(StampList& stamps, const QList<int>& rows)
{
    QList<int> selection;
    for (const int row : validSorted(stamps, rows)) {
        if (row == 0) {
            break;
        }
        std::swap(stamps[row - 1], stamps[row]);
        selection.append(row - 1);
    }
    return selection;
}

QList<int> moveStampRowsDown(StampList& stamps, const QList<int>& rows)
{
    QList<int> selection;
    const QList<int> sorted = validSorted(stamps, rows);
    for (auto it = sorted.rbegin(); it != sorted.rend(); ++it) {
        if (*it + 1 > qsizetype(stamps.size()) - 1) {
            break;
        }
        std::swap(stamps[*it], stamps[*it + 1]);
        selection.prepend(*it + 1);
    }
    return selection;
}

StampButtonsState stampButtonsState(qsizetype stampCount, const QList<int>& rows)
{
    StampButtonsState state;
    state.remove = stampCount > 0;
    if (!rows.isEmpty()) {
        const auto [first, last] = std::minmax_element(rows.begin(), rows.end());
        state.moveUp = *first > 0;
        state.moveDown = *last < stampCount - 1;
    }
    return state;
}

} // namespace veltrane
