#include "app/ProfileCommands.h"

#include "app/AlertPanels.h"
#include "app/FilePanels.h"
#include "model/Numbering.h"
#include "platform/AppPaths.h"
#include "platform/SystemLog.h"

#include <QFileInfo>

namespace veltrane {
namespace {

QString profileFilter()
{
    return QObject::tr("Veltrane profiles (*.vtprofile)");
}

} // namespace

ProfileCommands::ProfileCommands(QWidget* window, Numbering& job, std::function<void()> loaded)
    : m_window(window), m_job(job), m_loaded(std::move(loaded))
{}

void ProfileCommands::stampSaveAction()
{
    guarded(QStringLiteral("Error in [stampSaveAction:] : %@"), [this] {
        QFileDialog* panel =
            openFilePanel(m_window, QStringLiteral("saveProfilePanel"), QObject::tr("Save Profile"),
                          profileFilter(), QFileDialog::AnyFile, [this](const QStringList& files) {
                              saveStampPanelDidEnd(files.value(0));
                          });
        panel->setAcceptMode(QFileDialog::AcceptSave);
        panel->selectFile(QStringLiteral("stamps.vtprofile"));
        panel->setLabelText(QFileDialog::FileName, QObject::tr("Profile:"));
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
        openFilePanel(m_window, QStringLiteral("loadProfilePanel"),
                      QObject::tr("%1 Profile").arg(getAppTitle()), profileFilter(),
                      QFileDialog::ExistingFile,
                      [this](const QStringList& files) { loadStampPanelDidEnd(files.value(0)); });
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
    criticalAlertPanel(
        m_window, QObject::tr("Do you want to load [%1] profile?").arg(QFileInfo(path).fileName()),
        QObject::tr("This will overwrite your current settings."), QObject::tr("Yes"),
        QObject::tr("No"), QString(), [this, path](int code) { loadStampAlertDidEnd(code, path); });
}

void ProfileCommands::loadStampAlertDidEnd(int returnCode, const QString& path)
{
    if (returnCode != 1) {
        return;
    }
    loadStampPanelDidEnd(path);
}

} // namespace veltrane
