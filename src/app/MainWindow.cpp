#include "app/MainWindow.h"

#include "platform/AppPaths.h"
#include "ui_MainWindow.h"

#include <QCloseEvent>
#include <QScreen>
#include <QSplitter>

namespace veltrane {

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent), m_ui(std::make_unique<Ui::MainWindow>())
{
    m_ui->setupUi(this);
    setupVersion();
    // Every command's accessible name is its visible text; icon-only buttons read their tooltip.
    for (QAction* action : findChildren<QAction*>()) {
        if (!action->objectName().isEmpty()) {
            action->setShortcutVisibleInContextMenu(true);
        }
    }
    // The divider keeps 200 pixels for the file list and 100 for the other half; a double click
    // on it folds the second half away (and back).
    m_ui->filesPane->setMinimumWidth(200);
    m_ui->mainSplitter->setCollapsible(0, false);
    m_ui->mainSplitter->setCollapsible(1, true);
    m_ui->mainSplitter->handle(1)->installEventFilter(this);
    m_ui->mainSplitter->handle(1)->setAccessibleName(tr("Divider"));
    // The file list takes a third of the window at first.
    m_ui->mainSplitter->setSizes({width() * 3 / 10, width() * 7 / 10});
    // Large fonts grow the controls: the window still opens within the screen.
    if (const QScreen* shown = screen()) {
        resize(size().boundedTo(shown->availableGeometry().size() * 0.95));
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_ui->mainSplitter->handle(1) && event->type() == QEvent::MouseButtonDblClick) {
        QList<int> sizes = m_ui->mainSplitter->sizes();
        const int total = sizes.value(0) + sizes.value(1);
        if (sizes.value(1) > 0) {
            m_restoredWidth = sizes.value(1);
            m_ui->mainSplitter->setSizes({total, 0});
        } else {
            m_ui->mainSplitter->setSizes({total - m_restoredWidth, m_restoredWidth});
        }
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

MainWindow::~MainWindow() = default;

void MainWindow::setupVersion()
{
    // The product word in the help menu's titles is the program's own title.
    const QString word = QStringLiteral("Veltrane");
    const QString title = getAppTitle();
    for (QAction* action : m_ui->helpMenu->actions()) {
        QString text = action->text();
        if (text.startsWith(word)) {
            text.replace(0, word.size(), title);
        } else if (text.endsWith(word)) {
            text.replace(text.size() - word.size(), word.size(), title);
        }
        action->setText(text);
    }
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    emit closeRequested();
    event->accept();
}

} // namespace veltrane
