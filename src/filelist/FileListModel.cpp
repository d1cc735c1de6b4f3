#include "filelist/FileListModel.h"

#include "filelist/FileListOperations.h"

#include <algorithm>
#include <QColor>
#include <QHash>
#include <QSet>

namespace veltrane {
namespace {

const QString& identifier(int column)
{
    return FileListModel::columnIdentifiers().at(column);
}

bool isColumn(int column, const char* name)
{
    return identifier(column).compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

// The value a column sorts by: numbers and dates as themselves, texts by their natural order.
QVariant sortKey(const FileItem& item, int column)
{
    if (isColumn(column, "pages")) {
        return item.pages();
    }
    if (isColumn(column, "sizeInKB")) {
        return item.size();
    }
    if (isColumn(column, "isSelected")) {
        return item.isSelected();
    }
    if (isColumn(column, "dateModified")) {
        return item.dateModified().value_or(QDateTime());
    }
    if (isColumn(column, "dateCreated")) {
        return item.dateCreated().value_or(QDateTime());
    }
    if (isColumn(column, "dateAccessed")) {
        return item.dateAccessed().value_or(QDateTime());
    }
    if (isColumn(column, "secured")) {
        return item.isEncrypted();
    }
    return item.displayField(identifier(column)).toString();
}

} // namespace

FileListModel::FileListModel(QObject* parent) : QAbstractTableModel(parent) {}

const QStringList& FileListModel::columnIdentifiers()
{
    static const QStringList ids = {QStringLiteral("isSelected"),  QStringLiteral("name"),
                                    QStringLiteral("pages"),       QStringLiteral("sizeInKB"),
                                    QStringLiteral("type"),        QStringLiteral("dateModified"),
                                    QStringLiteral("dateCreated"), QStringLiteral("dateAccessed"),
                                    QStringLiteral("location"),    QStringLiteral("secured")};
    return ids;
}

int FileListModel::appendItems(const QList<FileItem>& items)
{
    QSet<QUrl> listed;
    for (const FileItem& item : m_items) {
        listed.insert(item.filePath());
    }
    QList<FileItem> fresh;
    for (const FileItem& item : items) {
        if (!listed.contains(item.filePath())) {
            listed.insert(item.filePath());
            fresh.append(item);
        }
    }
    if (fresh.isEmpty()) {
        return 0;
    }
    beginInsertRows({}, int(m_items.size()), int(m_items.size() + fresh.size() - 1));
    m_items += fresh;
    endInsertRows();
    return int(fresh.size());
}

void FileListModel::setItems(const QList<FileItem>& items)
{
    beginResetModel();
    m_items = items;
    endResetModel();
}

int FileListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_items.size());
}

int FileListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(columnIdentifiers().size());
}

QVariant FileListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const FileItem& item = m_items.at(index.row());
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return isColumn(column, "isSelected") ? QVariant() : item.displayField(identifier(column));
    case Qt::CheckStateRole:
        return isColumn(column, "isSelected")
                   ? QVariant(item.isSelected() ? Qt::Checked : Qt::Unchecked)
                   : QVariant();
    case Qt::TextAlignmentRole:
        return isColumn(column, "sizeInKB") ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter))
                                            : QVariant();
    case Qt::ForegroundRole:
        return isColumn(column, "name") && item.isEncrypted() ? QVariant(QColor(Qt::red))
                                                              : QVariant();
    case Qt::ToolTipRole: {
        const QString tip = isColumn(column, "secured") ? securedToolTip(item) : QString();
        return tip.isEmpty() ? QVariant() : QVariant(tip);
    }
    default:
        return {};
    }
}

bool FileListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (m_processing || role != Qt::CheckStateRole || !isColumn(index.column(), "isSelected") ||
        !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return false;
    }
    m_items[index.row()].setIsSelected(value.toInt() == Qt::Checked);
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

Qt::ItemFlags FileListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (isColumn(index.column(), "isSelected")) {
        flags |= Qt::ItemIsUserCheckable;
    }
    return flags;
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnIdentifiers().size()) {
        return {};
    }
    if (role == Qt::UserRole) {
        return columnIdentifiers().at(section);
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    static const char* const titles[] = {"",        "Name",     "Pages",         "Size (KB)",
                                         "Type",    "Modified", "Created",       "Accessed",
                                         "Folder",  "Locked"};
    static_assert(std::size(titles) == 10);
    return tr(titles[section]);
}

void FileListModel::sort(int column, Qt::SortOrder order)
{
    if (m_processing || column < 0 || column >= columnIdentifiers().size()) {
        return;
    }
    QList<SortDescriptor> descriptors{{column, order}};
    for (const SortDescriptor& d : std::as_const(m_sortDescriptors)) {
        if (d.column != column) {
            descriptors << d;
        }
    }
    m_sortDescriptors = descriptors;
    applySortDescriptors();
}

void FileListModel::setSortDescriptors(const QList<SortDescriptor>& descriptors)
{
    m_sortDescriptors.clear();
    for (const SortDescriptor& d : descriptors) {
        if (d.column >= 0 && d.column < columnIdentifiers().size()) {
            m_sortDescriptors << d;
        }
    }
}

void FileListModel::applySortDescriptors()
{
    if (m_sortDescriptors.isEmpty() || m_items.size() < 2) {
        return;
    }
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QList<QUrl> urls;
    for (const QModelIndex& index : before) {
        urls << m_items.at(index.row()).filePath();
    }
    std::stable_sort(m_items.begin(), m_items.end(), [&](const FileItem& a, const FileItem& b) {
        for (const SortDescriptor& d : std::as_const(m_sortDescriptors)) {
            const QPartialOrdering c =
                QVariant::compare(sortKey(a, d.column), sortKey(b, d.column));
            if (c == QPartialOrdering::Less || c == QPartialOrdering::Greater) {
                return (c == QPartialOrdering::Less) == (d.order == Qt::AscendingOrder);
            }
        }
        return false;
    });
    QHash<QUrl, int> rows;
    for (int r = 0; r < m_items.size(); ++r) {
        rows.insert(m_items[r].filePath(), r);
    }
    QModelIndexList after;
    for (qsizetype i = 0; i < before.size(); ++i) {
        after << index(rows.value(urls[i]), before[i].column());
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

} // namespace veltrane
