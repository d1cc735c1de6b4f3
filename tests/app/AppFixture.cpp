#include "AppFixture.h"

#include "app/CustomTableView.h"
#include "app/MainWindow.h"
#include "app/StampEditorWindow.h"
#include "filelist/FileListModel.h"
#include "model/StampItemBase.h"
#include "model/TextStamp.h"
#include "preview/PreviewRenderer.h"
#include "support/ItemTools.h"
#include "ui_MainWindow.h"

#include <QApplication>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace veltrane::test {

void AppFixture::SetUp()
{
    m_preferences = std::make_unique<ScopedPreferences>();
    m_app = std::make_unique<VeltraneAppDelegate>();
    ASSERT_TRUE(waitForPreview());
}

void AppFixture::TearDown()
{
    m_app.reset();
    m_preferences.reset();
}

bool AppFixture::waitForPreview()
{
    return QTest::qWaitFor(
        [this] { return m_app->shownGeneration() == m_app->previewRenderer().latestGeneration(); });
}

IStampItem* AppFixture::addTextStamp(const QString& format)
{
    m_app->textStampAction();
    auto* stamp = static_cast<TextStamp*>(m_app->tempStamps().back().get());
    stamp->setNumberFormat(format);
    auto* link = static_cast<StampEditorLink*>(stamp->editor());
    link->window()->findChild<QPushButton*>(u"addStampButton"_s)->click();
    return stamp;
}

QMessageBox* AppFixture::visibleAlert()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible()) {
            return box;
        }
    }
    return nullptr;
}

void AppFixture::answerNextAlert(int code, QString* text)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, code, text] {
        QMessageBox* box = visibleAlert();
        if (!box) {
            return;
        }
        if (text) {
            *text = box->informativeText();
        }
        for (QAbstractButton* button : box->buttons()) {
            if (button->property("alertCode").toInt() == code) {
                button->click();
            }
        }
        timer->deleteLater();
        timer->stop();
    });
    timer->start();
}

bool AppFixture::dropOnFileTable(const QList<QUrl>& urls)
{
    QMimeData data;
    data.setUrls(urls);
    QWidget* viewport = m_app->window().ui().mainTableView->viewport();
    QDropEvent drop(QPointF(viewport->rect().center()), Qt::CopyAction, &data, Qt::LeftButton,
                    Qt::NoModifier);
    // As from the file manager: the drag enters the table, then drops.
    QDragEnterEvent enter(viewport->rect().center(), Qt::CopyAction, &data, Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    QApplication::sendEvent(viewport, &drop);
    return QTest::qWaitFor([this] { return !m_app->isProcessing(); });
}

int AppFixture::rowOf(const QString& name)
{
    return int(itemNames(m_app->files().items()).indexOf(name));
}

} // namespace veltrane::test
