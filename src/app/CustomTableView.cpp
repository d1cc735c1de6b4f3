#include "app/CustomTableView.h"

#include "filelist/FileListModel.h"

#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QHeaderView>
#include <QIcon>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QStyledItemDelegate>

namespace veltrane {
namespace {

const QString kDropHint =
    QStringLiteral("Drag and Drop your files/folders directly from the finder here.");

// The "secured" column names a padlock picture; it is drawn as one, centred.
class PadlockDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const QString picture = index.data(Qt::DisplayRole).toString();
        if (picture.isEmpty()) {
            return;
        }
        static const QIcon lock(QStringLiteral(":/padlocks/Lock.svg"));
        static const QIcon unlock(QStringLiteral(":/padlocks/Unlock.svg"));
        option->icon = picture.startsWith(QLatin1String("Unlock")) ? unlock : lock;
        option->features |= QStyleOptionViewItem::HasDecoration;
        option->decorationAlignment = Qt::AlignCenter;
        option->displayAlignment = Qt::AlignCenter;
        option->text.clear();
    }
};

bool isFixedColumn(const QString& identifier)
{
    return identifier == QLatin1String("isSelected") || identifier == QLatin1String("name") ||
           identifier == QLatin1String("pages");
}

} // namespace

CustomTableView::CustomTableView(QWidget* parent) : QTableView(parent)
{
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    setDragDropMode(QAbstractItemView::DropOnly);
    const int secured = int(FileListModel::columnIdentifiers().indexOf(QStringLiteral("secured")));
    setItemDelegateForColumn(secured, new PadlockDelegate(this));
    horizontalHeader()->setContextMenuPolicy(Qt::CustomContextMenu);
    horizontalHeader()->setSectionsMovable(true);
    connect(horizontalHeader(), &QHeaderView::customContextMenuRequested, this,
            [this](const QPoint& at) {
                QMenu* menu = makeColumnMenu(this);
                menu->setAttribute(Qt::WA_DeleteOnClose);
                menu->popup(horizontalHeader()->mapToGlobal(at));
            });
    // The hint stays away while a column is dragged across the table.
    connect(horizontalHeader(), &QHeaderView::sectionPressed, this,
            [this] { setDisableDrawing(true); });
    connect(horizontalHeader(), &QHeaderView::sectionMoved, this,
            [this] { setDisableDrawing(false); });
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this] { setDisableDrawing(false); });
}

QMenu* CustomTableView::makeColumnMenu(QWidget* parent)
{
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("headerContextMenu"));
    QAbstractItemModel* table = model();
    if (!table) {
        return menu;
    }
    QHeaderView* header = horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int column = header->logicalIndex(visual);
        const QString identifier =
            table->headerData(column, Qt::Horizontal, Qt::UserRole).toString();
        if (isFixedColumn(identifier)) {
            continue;
        }
        QAction* item =
            menu->addAction(table->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString());
        item->setObjectName(identifier + QStringLiteral("ColumnItem"));
        item->setCheckable(true);
        item->setChecked(!isColumnHidden(column));
        connect(item, &QAction::triggered, this,
                [this, column] { setColumnHidden(column, !isColumnHidden(column)); });
    }
    return menu;
}

void CustomTableView::setDisableDrawing(bool disable)
{
    if (m_disableDrawing != disable) {
        m_disableDrawing = disable;
        viewport()->update();
    }
}

QList<int> CustomTableView::highlightedRows() const
{
    QList<int> rows;
    if (selectionModel()) {
        for (const QModelIndex& index : selectionModel()->selectedRows()) {
            rows.append(index.row());
        }
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

void CustomTableView::highlightRows(const QList<int>& rows)
{
    if (!model() || !selectionModel()) {
        return;
    }
    QItemSelection selection;
    const int last = model()->columnCount() - 1;
    for (const int row : rows) {
        if (row >= 0 && row < model()->rowCount()) {
            selection.select(model()->index(row, 0), model()->index(row, last));
        }
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (!rows.isEmpty()) {
        selectionModel()->setCurrentIndex(model()->index(rows.first(), 0),
                                          QItemSelectionModel::NoUpdate);
    }
}

void CustomTableView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
        emit toggleChecksRequested();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void CustomTableView::paintEvent(QPaintEvent* event)
{
    QTableView::paintEvent(event);
    if (m_disableDrawing || (model() && model()->rowCount() > 0)) {
        return;
    }
    // The picture keeps its 220 by 211 shape, smaller when the table is narrower.
    const QRectF area = viewport()->rect();
    const qreal scale = std::min(1.0, (area.width() - 16) / 290.0);
    const QSizeF picture(220 * scale, 211 * scale);
    const QPointF origin(area.center().x() - picture.width() / 2,
                         area.center().y() - picture.height() / 2 - 24 * scale);
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::Antialiasing);
    static const QIcon drop(QStringLiteral(":/drop/Drop.svg"));
    const bool active = isActiveWindow();
    drop.paint(&painter, QRectF(origin, picture).toRect(), Qt::AlignCenter,
               active ? QIcon::Normal : QIcon::Disabled);
    QFont font = painter.font();
    font.setPointSizeF(std::max(9.0, 18 * scale));
    painter.setFont(font);
    painter.setPen(active ? QColor(129, 167, 200)
                          : palette().color(QPalette::Disabled, QPalette::Text));
    const QRectF text(origin.x() - 35 * scale, origin.y() + picture.height() + 4, 290 * scale,
                      area.bottom() - origin.y() - picture.height() - 4);
    painter.drawText(text, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, kDropHint);
}

void CustomTableView::contextMenuEvent(QContextMenuEvent* event)
{
    if (m_contextMenu) {
        m_contextMenu->popup(event->globalPos());
        event->accept();
    }
}

bool CustomTableView::acceptsDrag(const QDropEvent* event) const
{
    // Rows dragged inside the table itself are not a drop.
    const QObject* source = event->source();
    if (source == this || source == viewport()) {
        return false;
    }
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            return true;
        }
    }
    return false;
}

void CustomTableView::dragEnterEvent(QDragEnterEvent* event)
{
    dragMoveEvent(event);
}

void CustomTableView::dragMoveEvent(QDragMoveEvent* event)
{
    if (acceptsDrag(event)) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void CustomTableView::dropEvent(QDropEvent* event)
{
    if (!acceptsDrag(event)) {
        event->ignore();
        return;
    }
    QList<QUrl> urls;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            urls.append(url);
        }
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    emit urlsDropped(urls);
}

} // namespace veltrane
