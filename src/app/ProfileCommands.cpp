#include "app/ProfileCommands.h"

#include "app/AlertPanels.h"
#include "model/Numbering.h"
#include "platform/AppPaths.h"
#include "platform/SystemLog.h"

#include <QFileDialog>
#include <QFileInfo>

namespace veltrane {

ProfileCommands::ProfileCommands(QWidget* window, Numbering& job, std::function<void()> loaded)
    : m_window(window), m_job(job), m_loaded(std::move(loaded))
{
}

void ProfileCommands::stampSaveAction()
{
    guarded(QStringLiteral("Error in [stampSaveAction:] : %@"), [this] {
        auto* panel = new QFileDialog(m_window, QObject::tr("Save Profile"));
        panel->setObjectName(QStringLiteral("saveProfilePanel"));
        panel->setAttribute(Qt::WA_DeleteOnClose);
        panel->setAcceptMode(QFileDialog::AcceptSave);
        panel->setNameFilter(QObject::tr("Veltrane profiles (*.vtprofile)"));
        panel->setDefaultSuffix(QString());
        panel->selectFile(QStringLiteral("stamps.vtprofile"));
        panel->setLabelText(QFileDialog::FileName, QObject::tr("Profile:"));
        panel->setWindowModality(Qt::WindowModal);
        QObject::connect(panel, &QFileDialog::fileSelected, m_window,
                         [this](const QString& path) { saveStampPanelDidEnd(path); });
        panel->open();
    });
}

void ProfileCommands::saveStampPanelDidEnd(const QString& path)
{
    guarded(QStringLiteral("Error in [stampSaveAction:] : %@"), [&] {
        if (!path.endsWith(QLatin1String("vtprofile"))) {
            informationAlertPanel(
                m_window, getAppTitle(),
                QObject::tr("Please include valid file extension [.vtprofile] after filename!"));
            return;
        }
        if (!m_job.save(path)) {
            informationAlertPanel(m_window, getAppTitle(),
                                  QObject::tr("Unable to save %1 Profile!").arg(getAppTitle()));
        }
    });
}

void ProfileCommands::stampLoadAction()
{
    guarded(QStringLiteral("Error in [stampLoadAction:] : %@"), [this] {
        auto* panel = new QFileDialog(m_window, QObject::tr("%1 Profile").arg(getAppTitle()));
        panel->setObjectName(QStringLiteral("loadProfilePanel"));
        panel->setAttribute(Qt::WA_DeleteOnClose);
        panel->setFileMode(QFileDialog::ExistingFile);
        panel->setNameFilter(QObject::tr("Veltrane profiles (*.vtprofile)"));
        panel->setWindowModality(Qt::WindowModal);
        QObject::connect(panel, &QFileDialog::fileSelected, m_window,
                         [this](const QString& path) { loadStampPanelDidEnd(path); });
        panel->open();
    });
}

void ProfileCommands::loadStampPanelDidEnd(const QString& path)
{
    guarded(QStringLiteral("Error in [stampLoadAction:] : %@"), [&] {
        if (!m_job.load(path)) {
            informationAlertPanel(m_window, getAppTitle(),
                                  QObject::tr("Unable to load %1 Profile!").arg(getAppTitle()));
            return;
        }
        m_loaded();
    });
}

void ProfileCommands::openProfile(const QString& path)
{
    if (QFileInfo(path).suffix() != QLatin1String("vtprofile")) {
        return;
    }
    criticalAlertPanel(m_window,
                       QObject::tr("Do you want to load [%1] profile?").arg(QFileInfo(path).fileName()),
                       QObject::tr("This will overwrite your current settings."),
                       QObject::tr("Yes"), QObject::tr("No"), QString(),
                       [this, path](int code) { loadStampAlertDidEnd(code, path); });
}

void ProfileCommands::loadStampAlertDidEnd(int returnCode, const QString& path)
{
    if (returnCode != 1) {
        return;
    }
    loadStampPanelDidEnd(path);
}

} // namespace veltrane
