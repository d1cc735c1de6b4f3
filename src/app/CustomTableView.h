#pragma once

#include <QList>
#include <QTableView>
#include <QUrl>

class QMenu;

namespace veltrane {

// The file table: drops of files and folders from the file manager, the space bar for the
// check marks, the padlock pictures, the column chooser in the header, and a hint inviting a
// drop while the table is empty. It shows the list; what the commands do is the window's.
class CustomTableView : public QTableView
{
    Q_OBJECT
public:
    explicit CustomTableView(QWidget* parent = nullptr);

    // The row menu, shown on a right click or the menu key (the window keeps it up to date).
    void setContextMenu(QMenu* menu) { m_contextMenu = menu; }
    QMenu* contextMenu() const { return m_contextMenu; }
    // The header's column chooser, made anew each time: every column but the check, name and
    // pages columns, checked while shown; choosing one shows or hides it.
    QMenu* makeColumnMenu(QWidget* parent);
    // While set, the empty-table hint is not drawn (a column is being dragged).
    void setDisableDrawing(bool disable);
    bool disableDrawing() const { return m_disableDrawing; }
    // The rows highlighted, ascending.
    QList<int> highlightedRows() const;
    void highlightRows(const QList<int>& rows);

signals:
    // File URLs dropped from outside the table, in order.
    void urlsDropped(const QList<QUrl>& urls);
    // The space bar: invert the check marks of the highlighted rows.
    void toggleChecksRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool acceptsDrag(const QDropEvent* event) const;

    QMenu* m_contextMenu = nullptr;
    bool m_disableDrawing = false;
};

} // namespace veltrane
