#pragma once

#include "model/Numbering.h"

#include <functional>
#include <memory>
#include <QTabWidget>

namespace Ui {
class JobSettingsPanel;
}
class QLineEdit;

namespace veltrane {

// The job settings tabs: the pages to stamp and their numbers, the margins and their unit, and
// the commands that reset them. Every edit goes straight to the job, whose change notice redraws
// the preview. Main thread.
class JobSettingsPanel : public QTabWidget
{
    Q_OBJECT
public:
    explicit JobSettingsPanel(QWidget* parent = nullptr);
    ~JobSettingsPanel() override;

    void setJob(Numbering* job);
    // The page size percentages are taken against (the preview's image view).
    void setReferenceSize(std::function<QSizeF()> size) { m_referenceSize = std::move(size); }
    // Shows the job's values again (after a profile was loaded, say).
    void reload();

    void resetMargins();
    void resetNumberCounters();
    void unitChanged();
    void isMarginPercentageChanged();
    // The repair of the two tagged fields, as their text changes.
    void controlTextDidChange(QLineEdit* field);

private:
    void connectIntegerField(QLineEdit* field, std::function<void(Numbering&, qint64)> setter);
    void connectMarginField(QLineEdit* field, std::function<void(Numbering&, double)> setter);
    void showMargins();

    std::unique_ptr<Ui::JobSettingsPanel> m_ui;
    Numbering* m_job = nullptr;
    std::function<QSizeF()> m_referenceSize;
    bool m_reloading = false;
};

} // namespace veltrane
