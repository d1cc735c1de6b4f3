#pragma once

#include <memory>
#include <QDialog>

namespace Ui {
class ReviewUs;
class UsagesReporting;
} // namespace Ui

namespace veltrane {

class UsagesReporting;

// The review sheet: opens the review page on request; either way the record learns the answer
// (and whether to ask again) when the sheet ends.
class ReviewWindowController : public QDialog
{
    Q_OBJECT
public:
    ReviewWindowController(UsagesReporting& record, QWidget* parent);
    ~ReviewWindowController() override;

    void showFor(const QString& reviewURL, bool neverAskForReview);
    void reviewOKAction();
    void reviewCancelAction();

private:
    void finish();

    std::unique_ptr<Ui::ReviewUs> m_ui;
    UsagesReporting& m_record;
    QString m_reviewURL;
};

// The usage reporting sheet: switch reporting on or off, or send the record now.
class UsagesReportingWindowController : public QDialog
{
    Q_OBJECT
public:
    UsagesReportingWindowController(UsagesReporting& record, QWidget* parent);
    ~UsagesReportingWindowController() override;

    void usagesAction();
    void applyAction();
    void cancelAction();
    void submitAction();

private:
    std::unique_ptr<Ui::UsagesReporting> m_ui;
    UsagesReporting& m_record;
    bool m_waitingForOutcome = false;
};

} // namespace veltrane
