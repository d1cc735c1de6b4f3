#pragma once

#include <functional>
#include <memory>
#include <QDialog>

namespace Ui {
class OutputSettings;
}

namespace veltrane {

class Settings;

// The output settings sheet: the output folder with its chooser, keeping it as the default,
// opening it after a run, clearing processed files, and the default password for locked PDFs,
// each written to the preferences as it changes. A chosen folder is saved at once.
class OutputSettingsSheet : public QDialog
{
    Q_OBJECT
public:
    OutputSettingsSheet(Settings& settings, QWidget* window);
    ~OutputSettingsSheet() override;

    // Shows the sheet with the preferences as they are now.
    void showSheet();
    void chooseOutputFolder();
    // Commits the field being typed in and hides the sheet.
    void closeOutputSetting();
    // Escape closes the sheet as its Close button does.
    void reject() override;
    Ui::OutputSettings& ui() { return *m_ui; }

signals:
    // The output folder changed (the window's keep-as-default rule follows it).
    void outputFolderPathChanged();
    void closed();

private:
    void load();

    std::unique_ptr<Ui::OutputSettings> m_ui;
    Settings& m_settings;
};

} // namespace veltrane
