#include "app/StampsTableModel.h"

#include "model/StampTypes.h"

namespace veltrane {

StampsTableModel::StampsTableModel(Numbering& job, QObject* parent)
    : QAbstractTableModel(parent), m_job(job)
{}

void StampsTableModel::reload()
{
    beginResetModel();
    endResetModel();
}

void StampsTableModel::refreshCells()
{
    if (rowCount() > 0) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
    }
}

QString StampsTableModel::anchorName(qint32 anchor)
{
    static const char* const names[] = {"Top left",    "Top middle",    "Top right",
                                        "Middle left", "Middle",        "Middle right",
                                        "Bottom left", "Bottom middle", "Bottom right"};
    if (anchor < 1 || anchor > 9) {
        return tr("Not set");
    }
    return tr(names[anchor - 1]);
}

int StampsTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_job.stamps().size());
}

int StampsTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant StampsTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const IStampItem& stamp = *m_job.stamps()[index.row()];
    switch (index.column()) {
    case IsSelectedColumn:
        if (role == Qt::CheckStateRole) {
            return stamp.isSelected() ? Qt::Checked : Qt::Unchecked;
        }
        if (role == Qt::AccessibleTextRole || role == Qt::ToolTipRole) {
            return stamp.isSelected() ? tr("On") : tr("Off");
        }
        break;
    case DescriptionColumn:
        if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) {
            return stamp.description();
        }
        if (role == Qt::ToolTipRole) {
            return stamp.isDrawUnderPDFContent() ? tr("Drawn under the PDF content")
                                                 : tr("Drawn over the PDF content");
        }
        break;
    case AnchorColumn:
        if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) {
            return anchorName(stamp.marginAnchor());
        }
        break;
    default:
        break;
    }
    return {};
}

bool StampsTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (m_processing || !index.isValid() || index.row() >= rowCount() ||
        index.column() != IsSelectedColumn || role != Qt::CheckStateRole) {
        return false;
    }
    m_job.stamps()[index.row()]->setIsSelected(value.toInt() == Qt::Checked);
    emit dataChanged(index, index, {Qt::CheckStateRole});
    if (m_switched) {
        m_switched();
    }
    return true;
}

Qt::ItemFlags StampsTableModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == IsSelectedColumn && !m_processing) {
        flags |= Qt::ItemIsUserCheckable;
    }
    return flags;
}

QVariant StampsTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    switch (section) {
    case IsSelectedColumn:
        return tr("On");
    case DescriptionColumn:
        return tr("Stamp");
    case AnchorColumn:
        return tr("Anchor");
    default:
        return {};
    }
}

} // namespace veltrane
