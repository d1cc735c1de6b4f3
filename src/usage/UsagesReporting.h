#pragma once

#include "usage/UsagesRecord.h"
#include "usage/UsagesSettings.h"

#include <QLatin1String>
#include <QObject>

namespace veltrane {

class ReportUpload;

// The texts the reporting sheet shows for the outcome of a report.
inline constexpr QLatin1String kReportTitle("Usages Reporting :");
inline constexpr QLatin1String kReportSucceeded("Report submitted successfully.");
inline constexpr QLatin1String kReportFailed("Unable to submit report!");

// The per-user usage record: how often each feature was used and on how many files, kept in the
// usage file, uploaded on request, and the review prompt those counts drive. The windows (the
// reporting sheet and the review sheet) are the desktop program's; this class tells them when
// to show and takes their answers.
//
// Main thread only; the upload runs asynchronously and its outcome arrives on the main thread.
// Every failure is logged with its operation's line ("Error in save : %@", ...) and leaves what
// was done.
class UsagesReporting : public QObject
{
    Q_OBJECT

public:
    // The one feature the application counts.
    static inline constexpr QLatin1String kOutputFilesFeature{"Output Files"};
    // The review prompt returns after this many further files.
    static constexpr qint64 kApplicationReviewFileCountLimit = 1500;

    // Defaults (product, version and build date of the running program, the machine's
    // identifier, now for both dates, review limit 1000 with no target yet, reviewURL the home
    // page), then the usage file; when there is none or it cannot be read, the record is
    // written to it.
    explicit UsagesReporting(UsagesSettings settings = {}, QObject* parent = nullptr);
    ~UsagesReporting() override;

    // What the application does right after creating the record: review limit 1500, prompts
    // on, the review page; a record without features gets "Output Files" (used once, no files)
    // and is saved.
    void prepareForApplication();

    const UsagesRecord& record() const { return m_record; }
    QString filePath() const { return m_filePath; }

    bool isEnabled() const { return m_record.isEnabled; }
    bool neverAskForReview() const { return m_record.neverAskForReview; }
    QString reviewURL() const { return m_record.reviewURL; }
    void setReviewURL(const QString& url) { m_record.reviewURL = url; }
    void setIsReviewEnabled(bool on) { m_record.isReviewEnabled = on; }
    // Also the next review target while there is none (0).
    void setReviewFileCountLimit(qint64 limit);

    // The reporting sheet's answer: whether the user allows reporting; saved at once.
    void applyAction(bool isEnabled);

    // Counts one use of the feature `name` handling `totalFiles` files (the last feature of
    // that name, or a new one), then saves.
    void updateUsages(const QString& name, qint32 totalFiles);

    // The review check (the flag is the caller's and changes nothing here). When prompts are
    // on, not refused for good, and the files counted reach both 1 and the next target, emits
    // reviewRequested() and returns true.
    bool validate(bool flag);
    // The review sheet closed: remembers the "never ask again" box, now as the last ask, and
    // the next target (limit + files counted so far), then saves.
    void reviewWindowControllerDidFinished(bool neverAskForReview);

    // Writes the usage file; false when it could not.
    bool save();
    // Reads the usage file over the current fields; false when there is none or it could not
    // be read (then nothing changes).
    bool load();

    // Starts posting the usage file to the upload endpoint; false when there is no file or it
    // cannot be read. Either way exactly one reportOutcome() follows: at once when nothing was
    // started, otherwise when the server has answered or the upload has failed. A new submit
    // abandons an upload still running (that one reports nothing).
    bool submitReport();
    // The server's answer: success only when it reads exactly "OK" once "<br>" is a line break
    // and "&nbsp;" a space; then lastReportSentOn becomes now and the record is saved. Any other
    // answer is logged as a failed report.
    bool postFinished(const QString& body);
    // The upload failed; the record stays as it was.
    void postFailed(const QString& reason);

signals:
    // The review sheet should show, with this address and the check box in this state.
    void reviewRequested(const QString& reviewURL, bool neverAskForReview);
    // The outcome of a report: kReportSucceeded or kReportFailed (the sheet titles it
    // kReportTitle).
    void reportOutcome(bool ok, const QString& message);

private:
    QDateTime now() const;

    UsagesSettings m_settings;
    QString m_filePath;
    UsagesRecord m_record;
    ReportUpload* m_upload = nullptr; // child
};

} // namespace veltrane
