#pragma once

#include "filelist/FileItem.h"

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

namespace veltrane {

// The file list as a table: one row per item, one column per identifier ("isSelected", "name",
// "pages", "sizeInKB", "type", "dateModified", "dateCreated", "dateAccessed", "location",
// "secured"), cells from FileItem::displayField. The check column is the only editable one and
// shows the check mark; the table's row selection (the highlight) lives in the view, apart from
// the check marks. While `processing` is set, check edits and sorting do nothing. Main thread.
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
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    QList<FileItem> m_items;
    bool m_processing = false;
};

} // namespace veltrane
