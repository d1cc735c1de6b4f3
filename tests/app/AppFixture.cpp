#include "AppFixture.h"

#include "app/MainWindow.h"
#include "app/StampEditorWindow.h"
#include "model/StampItemBase.h"
#include "model/TextStamp.h"
#include "preview/PreviewRenderer.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>

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
    link->window()->findChild<QPushButton*>(QStringLiteral("addStampButton"))->click();
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

} // namespace veltrane::test
