#pragma once

#include "model/Numbering.h"

#include <functional>
#include <QAbstractTableModel>

namespace veltrane {

// The job's stamps as a table, one row a stamp in job order: the "isSelected" check column
// (switches the stamp on or off), "description" and "marginAnchor". While processing, the check
// column cannot be edited. Main thread.
class StampsTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { IsSelectedColumn, DescriptionColumn, AnchorColumn, ColumnCount };

    StampsTableModel(Numbering& job, QObject* parent = nullptr);

    // Called after a stamp was switched on or off from the table.
    void setSwitchedHandler(std::function<void()> handler) { m_switched = std::move(handler); }
    void setProcessing(bool processing) { m_processing = processing; }
    // The rows changed wholesale (added, removed, moved, a profile loaded).
    void reload();
    // The stamps' fields changed, not their number: the cells are redrawn, the selection stays.
    void refreshCells();

    static QString anchorName(qint32 anchor);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    Numbering& m_job;
    std::function<void()> m_switched;
    bool m_processing = false;
};

} // namespace veltrane
