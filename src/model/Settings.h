#pragma once

#include "model/Numbering.h"

#include <memory>
#include <QString>
#include <QVariant>
#include <QVariantMap>

namespace veltrane {

// The application's preferences record: the output folder and whether it is kept, three run
// options, the default read password of new PDF items, and the stamp job. Stored under
// "SETTINGS" in the preferences store. Main thread; a run takes its own copy of the job.
class Settings
{
public:
    // Defaults, a new job, then the stored "SETTINGS" entry when there is one.
    Settings();

    bool isSetCurrentAsDefaultOutputFolderPath() const
    {
        return m_isSetCurrentAsDefaultOutputFolderPath;
    }
    void setIsSetCurrentAsDefaultOutputFolderPath(bool on)
    {
        m_isSetCurrentAsDefaultOutputFolderPath = on;
    }
    bool isOpenFolderAfterConversion() const { return m_isOpenFolderAfterConversion; }
    void setIsOpenFolderAfterConversion(bool on) { m_isOpenFolderAfterConversion = on; }
    QString pdfOpenPassword() const { return m_pdfOpenPassword; }
    void setPdfOpenPassword(const QString& password) { m_pdfOpenPassword = password; }
    QString outputFolderPath() const { return m_outputFolderPath; }
    void setOutputFolderPath(const QString& path) { m_outputFolderPath = path; }
    bool isClearProcessedFiles() const { return m_isClearProcessedFiles; }
    void setIsClearProcessedFiles(bool on) { m_isClearProcessedFiles = on; }
    // Stamped copies of protected PDFs keep their protection; off by default.
    bool isKeepEncryption() const { return m_isKeepEncryption; }
    void setIsKeepEncryption(bool on) { m_isKeepEncryption = on; }
    Numbering& number() { return *m_number; }
    const Numbering& number() const { return *m_number; }

    // The seven-key dictionary; an absent password or folder becomes "" in the record too.
    QVariantMap getData();
    // Applies a dictionary (anything else changes nothing), then the output-folder rule: a
    // folder is kept only when keeping it was asked for.
    void setData(const QVariant& data);
    // Stores getData() under "SETTINGS" and writes the preferences store.
    void synchronize();

private:
    bool m_isSetCurrentAsDefaultOutputFolderPath = true;
    bool m_isOpenFolderAfterConversion = true;
    QString m_pdfOpenPassword = QLatin1String("");
    QString m_outputFolderPath = QLatin1String("");
    bool m_isClearProcessedFiles = false;
    bool m_isKeepEncryption = false;
    std::unique_ptr<Numbering> m_number;
};

} // namespace veltrane
