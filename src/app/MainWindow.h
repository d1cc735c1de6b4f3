#pragma once

#include <memory>
#include <QMainWindow>

namespace Ui {
class MainWindow;
}

namespace veltrane {

// The main window: its form, and the close request handed to whoever quits the program.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;
    Ui::MainWindow& ui() { return *m_ui; }

signals:
    void closeRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Puts the program's title into the help menu's titles.
    void setupVersion();

    std::unique_ptr<Ui::MainWindow> m_ui;
    int m_restoredWidth = 700;
};

} // namespace veltrane
