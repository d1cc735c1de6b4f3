#include "usage/UsagesReporting.h"

#include "platform/AppPaths.h"
#include "platform/SystemLog.h"
#include "usage/ReportUpload.h"
#include "usage/UsagesFile.h"

#include <algorithm>
#include <QCoreApplication>
#include <QFileInfo>
#include <QSysInfo>
#include <QUrlQuery>

namespace veltrane {
namespace {

QString defaultFilePath()
{
    const QString folder = getAppPath();
    return (folder.isEmpty() ? QString() : folder + QLatin1Char('/')) +
           QStringLiteral("Usages.Log");
}

} // namespace

UsagesReporting::UsagesReporting(UsagesSettings settings, QObject* parent)
    : QObject(parent), m_settings(std::move(settings)),
      m_filePath(m_settings.filePath.isEmpty() ? defaultFilePath() : m_settings.filePath),
      m_upload(new ReportUpload(this))
{
    m_record.productName = QCoreApplication::applicationName();
    m_record.version = QCoreApplication::applicationVersion();
    m_record.buildDate = QFileInfo(QCoreApplication::applicationFilePath()).lastModified();
    m_record.reviewURL = m_settings.homePage;
    // The target stays 0 so that the application's own limit becomes the first target.
    m_record.reviewFileCountLimit = 1000;
    m_record.lastReviewAskDate = now();
    m_record.hardwareUUID = QString::fromLatin1(QSysInfo::machineUniqueId());
    m_record.lastReportSentOn = now();
    connect(m_upload, &ReportUpload::finished, this, &UsagesReporting::postFinished);
    connect(m_upload, &ReportUpload::failed, this, &UsagesReporting::postFailed);
    if (!load()) {
        save();
    }
}

UsagesReporting::~UsagesReporting() = default;

QDateTime UsagesReporting::now() const
{
    return m_settings.now ? m_settings.now() : QDateTime::currentDateTime();
}

void UsagesReporting::prepareForApplication()
{
    setReviewFileCountLimit(kApplicationReviewFileCountLimit);
    setIsReviewEnabled(true);
    setReviewURL(m_settings.reviewPage);
    if (m_record.features.isEmpty()) {
        m_record.features.append(FeatureUsages(kOutputFilesFeature, 1, 0));
        save();
    }
}

void UsagesReporting::setReviewFileCountLimit(qint64 limit)
{
    m_record.reviewFileCountLimit = limit;
    if (m_record.nextReviewTargetValue == 0) {
        m_record.nextReviewTargetValue = limit;
    }
}

void UsagesReporting::applyAction(bool isEnabled)
{
    m_record.isEnabled = isEnabled;
    save();
}

void UsagesReporting::updateUsages(const QString& name, qint32 totalFiles)
{
    guarded(QStringLiteral("Error in updateUsages : %@"), [&] {
        QList<FeatureUsages>& features = m_record.features;
        auto last = std::find_if(features.rbegin(), features.rend(),
                                 [&](const FeatureUsages& f) { return f.name == name; });
        if (last != features.rend()) {
            last->usagesCount = saturatingAdd(last->usagesCount, 1);
            last->filesCount = saturatingAdd(last->filesCount, totalFiles);
        } else {
            features.append(FeatureUsages(name, 1, totalFiles));
        }
        save();
    });
}

bool UsagesReporting::validate(bool /*flag*/)
{
    if (!m_record.isReviewEnabled || m_record.neverAskForReview) {
        return false;
    }
    const qint64 files = totalFilesCount(m_record.features);
    if (files < 1 || files < m_record.nextReviewTargetValue) {
        return false;
    }
    return guarded(QStringLiteral("Error in submitReview : %@"),
                   [&] { emit reviewRequested(m_record.reviewURL, m_record.neverAskForReview); });
}

void UsagesReporting::reviewWindowControllerDidFinished(bool neverAskForReview)
{
    const qint64 files = totalFilesCount(m_record.features);
    m_record.neverAskForReview = neverAskForReview;
    m_record.lastReviewAskDate = now();
    m_record.nextReviewTargetValue = saturatingAdd(m_record.reviewFileCountLimit, files);
    save();
}

bool UsagesReporting::save()
{
    return guarded(QStringLiteral("Error in save : %@"),
                   [&] { saveUsagesFile(m_filePath, m_record); });
}

bool UsagesReporting::load()
{
    bool loaded = false;
    guarded(QStringLiteral("Error in load : %@"),
            [&] { loaded = loadUsagesFile(m_filePath, m_record); });
    return loaded;
}

bool UsagesReporting::submitReport()
{
    bool started = false;
    guarded(QStringLiteral("Error in submitReport : %@"), [&] {
        if (!QFileInfo::exists(m_filePath)) {
            return;
        }
        QUrl url = m_settings.uploadEndpoint;
        QUrlQuery query(url);
        const double seconds = static_cast<double>(now().toMSecsSinceEpoch()) / 1000.0;
        query.addQueryItem(QStringLiteral("f"), QString::number(seconds, 'f', 6));
        url.setQuery(query);
        m_upload->start(url, m_filePath, m_settings.uploadTimeout);
        started = true;
    });
    if (!started) {
        emit reportOutcome(false, kReportFailed);
    }
    return started;
}

bool UsagesReporting::postFinished(const QString& body)
{
    QString answer = body;
    answer.replace(QLatin1String("<br>"), QLatin1String("\n"));
    answer.replace(QLatin1String("&nbsp;"), QLatin1String(" "));
    if (answer != QLatin1String("OK")) {
        systemLogError(QStringLiteral("Error in submitReport : %@"),
                       QStringLiteral("the server answered \"%1\"").arg(answer.left(200)));
        emit reportOutcome(false, kReportFailed);
        return false;
    }
    m_record.lastReportSentOn = now();
    save();
    emit reportOutcome(true, kReportSucceeded);
    return true;
}

void UsagesReporting::postFailed(const QString& reason)
{
    systemLogError(QStringLiteral("Error in submitReport : %@"), reason);
    emit reportOutcome(false, kReportFailed);
}

} // namespace veltrane
