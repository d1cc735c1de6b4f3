#include "app/JobSettingsPanel.h"

#include "app/Formatters.h"
#include "model/StampTypes.h"
#include "platform/SystemLog.h"
#include "ui_JobSettingsPanel.h"

namespace veltrane {
namespace {

QString marginText(double value)
{
    return QString::number(value, 'g', 10);
}

} // namespace

JobSettingsPanel::JobSettingsPanel(QWidget* parent)
    : QTabWidget(parent), m_ui(std::make_unique<Ui::JobSettingsPanel>())
{
    m_ui->setupUi(this);
    m_ui->unitsPopup->setItemData(0, qint32(Points));
    m_ui->unitsPopup->setItemData(1, qint32(Millimetres));
    m_ui->unitsPopup->setItemData(2, qint32(Inches));
    for (NumberField* field : {m_ui->startPageField, m_ui->endPageField, m_ui->startNumberField,
                               m_ui->numberStepsField}) {
        field->setValidator(new CustomNumberFormatterInteger(field));
    }
    for (QLineEdit* field : {m_ui->marginTopField, m_ui->marginLeftField, m_ui->marginRightField,
                             m_ui->marginBottomField}) {
        field->setValidator(new CustomNumberFormatterDecimal(field));
    }
    connectIntegerField(m_ui->startPageField,
                        [](Numbering& job, qint64 v) { job.setStartPage(v); });
    connectIntegerField(m_ui->endPageField, [](Numbering& job, qint64 v) { job.setEndPage(v); });
    connectIntegerField(m_ui->startNumberField,
                        [](Numbering& job, qint64 v) { job.setStartNumber(v); });
    connectIntegerField(m_ui->numberStepsField,
                        [](Numbering& job, qint64 v) { job.setNumberSteps(v); });
    connectMarginField(m_ui->marginTopField, [](Numbering& job, double v) { job.setMarginTop(v); });
    connectMarginField(m_ui->marginLeftField,
                       [](Numbering& job, double v) { job.setMarginLeft(v); });
    connectMarginField(m_ui->marginRightField,
                       [](Numbering& job, double v) { job.setMarginRight(v); });
    connectMarginField(m_ui->marginBottomField,
                       [](Numbering& job, double v) { job.setMarginBottom(v); });
    connect(m_ui->pageRangePopup, &QComboBox::activated, this, [this](int index) {
        if (m_job) {
            m_job->setPageRange(index);
        }
    });
    connect(m_ui->continuousNumberingCheck, &QCheckBox::toggled, this, [this](bool on) {
        if (m_job && !m_reloading) {
            m_job->setIsContinuousNumbering(on);
        }
    });
    connect(m_ui->unitsPopup, &QComboBox::activated, this, &JobSettingsPanel::unitChanged);
    connect(m_ui->marginPercentageCheck, &QCheckBox::clicked, this,
            &JobSettingsPanel::isMarginPercentageChanged);
    connect(m_ui->resetMarginsButton, &QPushButton::clicked, this, &JobSettingsPanel::resetMargins);
    connect(m_ui->resetCountersButton, &QPushButton::clicked, this,
            &JobSettingsPanel::resetNumberCounters);
}

JobSettingsPanel::~JobSettingsPanel() = default;

void JobSettingsPanel::setJob(Numbering* job)
{
    m_job = job;
    reload();
}

void JobSettingsPanel::connectIntegerField(QLineEdit* field,
                                           std::function<void(Numbering&, qint64)> setter)
{
    connect(field, &QLineEdit::textEdited, this, [this, field, setter = std::move(setter)] {
        controlTextDidChange(field);
        if (m_job) {
            setter(*m_job, leadingIntegerValue(field->text()));
        }
    });
}

void JobSettingsPanel::connectMarginField(QLineEdit* field,
                                          std::function<void(Numbering&, double)> setter)
{
    connect(field, &QLineEdit::textEdited, this,
            [this, setter = std::move(setter)](const QString& text) {
                bool ok = false;
                const double value = text.toDouble(&ok);
                // "1.2." while typing: the job keeps its value until the text is a number again.
                if (m_job && ok) {
                    setter(*m_job, value);
                }
            });
    connect(field, &QLineEdit::editingFinished, this, [this] { showMargins(); });
}

void JobSettingsPanel::reload()
{
    if (!m_job) {
        return;
    }
    m_reloading = true;
    m_ui->startPageField->setText(QString::number(m_job->startPage()));
    m_ui->endPageField->setText(QString::number(m_job->endPage()));
    m_ui->startNumberField->setText(QString::number(m_job->startNumber()));
    m_ui->numberStepsField->setText(QString::number(m_job->numberSteps()));
    m_ui->pageRangePopup->setCurrentIndex(
        m_job->pageRange() >= 0 && m_job->pageRange() <= 2 ? m_job->pageRange() : -1);
    m_ui->continuousNumberingCheck->setChecked(m_job->isContinuousNumbering());
    m_ui->marginPercentageCheck->setChecked(m_job->isMarginInPercentage());
    const int unit = m_ui->unitsPopup->findData(m_job->marginUnit());
    m_ui->unitsPopup->setCurrentIndex(unit >= 0 ? unit : 0);
    showMargins();
    m_reloading = false;
}

void JobSettingsPanel::showMargins()
{
    if (!m_job) {
        return;
    }
    const QString unit = m_job->isMarginInPercentage() ? tr("%") : m_ui->unitsPopup->currentText();
    const std::pair<QLineEdit*, double> margins[] = {
        {m_ui->marginTopField, m_job->marginTop()},
        {m_ui->marginLeftField, m_job->marginLeft()},
        {m_ui->marginRightField, m_job->marginRight()},
        {m_ui->marginBottomField, m_job->marginBottom()}};
    for (const auto& [field, value] : margins) {
        if (!field->hasFocus() || field->text().toDouble() != value) {
            field->setText(marginText(value));
        }
        field->setToolTip(tr("%1 (%2)").arg(field->accessibleName(), unit));
    }
}

void JobSettingsPanel::resetMargins()
{
    if (!m_job) {
        return;
    }
    m_job->beginUpdate();
    if (m_job->marginTop() != 0 || m_job->marginLeft() != 0 || m_job->marginRight() != 0 ||
        m_job->marginBottom() != 0) {
        m_job->setMarginTop(0);
        m_job->setMarginLeft(0);
        m_job->setMarginRight(0);
        m_job->setMarginBottom(0);
        m_job->endUpdate(true);
    } else {
        m_job->endUpdate(false);
    }
    showMargins();
}

void JobSettingsPanel::resetNumberCounters()
{
    if (!m_job) {
        return;
    }
    m_job->beginUpdate();
    if (m_job->startPage() == 1 && m_job->endPage() == 0 && m_job->startNumber() == 1 &&
        m_job->numberSteps() == 1) {
        m_job->endUpdate(false);
        return;
    }
    m_job->setStartPage(1);
    m_job->setEndPage(0);
    m_job->setStartNumber(1);
    m_job->setNumberSteps(1);
    m_job->endUpdate(true);
    reload();
}

void JobSettingsPanel::unitChanged()
{
    guarded(QStringLiteral("Error in [unitChanged:] : %@"), [this] {
        if (!m_job) {
            return;
        }
        const qint32 previous = m_job->marginUnit();
        m_job->setMarginUnit(m_ui->unitsPopup->currentData().toInt());
        if (!m_job->isMarginInPercentage()) {
            m_job->beginUpdate();
            m_job->convertPoints(previous);
            m_job->endUpdate(false);
        }
        showMargins();
    });
}

void JobSettingsPanel::isMarginPercentageChanged()
{
    guarded(QStringLiteral("Error in [isMarginPercentageChanged:] : %@"), [this] {
        if (!m_job) {
            return;
        }
        m_job->beginUpdate();
        m_job->setIsMarginInPercentage(m_ui->marginPercentageCheck->isChecked());
        m_job->convertPointsToPercentage(m_referenceSize ? m_referenceSize() : QSizeF(595, 842));
        m_job->endUpdate(false);
        showMargins();
    });
}

void JobSettingsPanel::controlTextDidChange(QLineEdit* field)
{
    const QVariant tag = field->property("tag");
    if (!tag.isValid()) {
        return;
    }
    const QString repaired = repairedNumericText(tag.toInt(), field->text());
    if (repaired != field->text()) {
        field->setText(repaired);
    }
}

} // namespace veltrane
