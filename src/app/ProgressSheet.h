#pragma once

#include <memory>
#include <QDialog>

namespace Ui {
class ProgressSheet;
}

namespace veltrane {

struct RunProgress;

// The progress sheet of a run: the file being stamped, its output, how many are done, the
// time taken and, at the end, the run's message. Cancel is there while the run goes, Close
// once it has finished (the run is released on Close), View Log throughout.
class ProgressSheet : public QDialog
{
    Q_OBJECT
public:
    explicit ProgressSheet(QWidget* window);
    ~ProgressSheet() override;

    // A new run of `outputs` files into `outputFolder`.
    void begin(qint32 outputs, const QString& outputFolder);
    void showProgress(const RunProgress& progress);
    void showFileStarted(const QString& fileName);
    void showFinished(const QString& message, const QString& timeTakenText);
    // Escape cancels a run that is going; it never closes the sheet before the run's end.
    void reject() override;
    Ui::ProgressSheet& ui() { return *m_ui; }

signals:
    void cancelProcessAction();
    void closeProcessAction();
    void viewLogAction();

private:
    std::unique_ptr<Ui::ProgressSheet> m_ui;
    QString m_outputFolder;
    bool m_finished = false;
};

} // namespace veltrane
