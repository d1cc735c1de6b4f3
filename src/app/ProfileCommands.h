#pragma once

#include <functional>
#include <QString>

class QWidget;

namespace veltrane {

class Numbering;

// Saving and loading profiles through file panels, and the question asked before a profile
// handed to the program replaces the job. The panels and alerts are sheets on `window`; the
// answers arrive later. `loaded` runs after a profile replaced the job. Main thread.
class ProfileCommands
{
public:
    ProfileCommands(QWidget* window, Numbering& job, std::function<void()> loaded);

    void stampSaveAction();
    // The save panel's answer: refuses a name without the profile extension, else writes.
    void saveStampPanelDidEnd(const QString& path);
    void stampLoadAction();
    void loadStampPanelDidEnd(const QString& path);
    // Asks "Do you want to load [name] profile?"; loads only on "Yes". Files that are not
    // profiles are ignored.
    void openProfile(const QString& path);
    void loadStampAlertDidEnd(int returnCode, const QString& path);

private:
    QWidget* m_window;
    Numbering& m_job;
    std::function<void()> m_loaded;
};

} // namespace veltrane
