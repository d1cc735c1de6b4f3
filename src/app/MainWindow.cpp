#include "app/MainWindow.h"

#include "ui_MainWindow.h"

#include <QCloseEvent>

namespace veltrane {

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent), m_ui(std::make_unique<Ui::MainWindow>())
{
    m_ui->setupUi(this);
    // Every command's accessible name is its visible text; icon-only buttons read their tooltip.
    for (QAction* action : findChildren<QAction*>()) {
        if (!action->objectName().isEmpty()) {
            action->setShortcutVisibleInContextMenu(true);
        }
    }
}

MainWindow::~MainWindow() = default;

void MainWindow::closeEvent(QCloseEvent* event)
{
    emit closeRequested();
    event->accept();
}

} // namespace veltrane
