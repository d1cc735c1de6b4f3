#pragma once

#include "filelist/FileItem.h"

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

namespace veltrane {

// One key of the list's order: a column and its direction.
struct SortDescriptor
{
    int column = 0;
    Qt::SortOrder order = Qt::AscendingOrder;
    bool operator==(const SortDescriptor&) const = default;
};

// The file list as a table: one row per item, one column per identifier ("isSelected", "name",
// "pages", "sizeInKB", "type", "dateModified", "dateCreated", "dateAccessed", "location",
// "secured"; the header's Qt::UserRole, its display role a title), cells from
// FileItem::displayField. The check column is the only editable one and shows the check mark;
// the table's row selection (the highlight) lives in the view, apart from the check marks.
// While `processing` is set, check edits and sorting do nothing. Main thread.
class FileListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit FileListModel(QObject* parent = nullptr);

    static const QStringList& columnIdentifiers();

    const QList<FileItem>& items() const { return m_items; }
    // Appends the items that are not listed yet; returns how many were added.
    int appendItems(const QList<FileItem>& items);
    // Replaces the whole list (after an operation on items()).
    void setItems(const QList<FileItem>& items);

    void setProcessing(bool processing) { m_processing = processing; }
    bool isProcessing() const { return m_processing; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    // Makes `column` the first sort key (the keys before it follow, as a table header does) and
    // sorts. Ignored while processing.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // The keys the list is sorted by, first key first; none keeps the order of appending.
    const QList<SortDescriptor>& sortDescriptors() const { return m_sortDescriptors; }
    void setSortDescriptors(const QList<SortDescriptor>& descriptors);
    // Sorts by the current keys (stable), whether or not processing: a gathering re-applies
    // them after its last append.
    void applySortDescriptors();

private:
    QList<FileItem> m_items;
    QList<SortDescriptor> m_sortDescriptors;
    bool m_processing = false;
};

} // namespace veltrane
