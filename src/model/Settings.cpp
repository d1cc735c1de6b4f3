#include "model/Settings.h"

#include "model/DictionaryValues.h"
#include "platform/PreferencesStore.h"
#include "platform/SystemLog.h"

#include <stdexcept>

namespace veltrane {

Settings::Settings() : m_number(std::make_unique<Numbering>())
{
    const QVariant stored = PreferencesStore::shared().value(QStringLiteral("SETTINGS"));
    if (stored.isValid()) {
        setData(stored);
    }
}

QVariantMap Settings::getData()
{
    QVariantMap data;
    guarded(QStringLiteral("Error in (Settings=>getData) : %@"), [&] {
        if (m_pdfOpenPassword.isNull()) {
            m_pdfOpenPassword = QLatin1String("");
        }
        if (m_outputFolderPath.isNull()) {
            m_outputFolderPath = QLatin1String("");
        }
        data.insert(QStringLiteral("isSetCurrentAsDefaultOutputFolderPath"),
                    m_isSetCurrentAsDefaultOutputFolderPath);
        data.insert(QStringLiteral("isOpenFolderAfterConversion"), m_isOpenFolderAfterConversion);
        data.insert(QStringLiteral("pdfOpenPassword"), m_pdfOpenPassword);
        data.insert(QStringLiteral("outputFolderPath"), m_outputFolderPath);
        data.insert(QStringLiteral("number"), m_number->getData());
        data.insert(QStringLiteral("isClearProcessedFiles"), m_isClearProcessedFiles);
        data.insert(QStringLiteral("isKeepEncryption"), m_isKeepEncryption);
    });
    return data;
}

void Settings::setData(const QVariant& value)
{
    guarded(QStringLiteral("Error in (Settings=>setData:) : %@"), [&] {
        if (value.typeId() != QMetaType::QVariantMap) {
            return;
        }
        const QVariantMap data = value.toMap();
        m_isSetCurrentAsDefaultOutputFolderPath =
            readBoolean(data, QStringLiteral("isSetCurrentAsDefaultOutputFolderPath"));
        m_isOpenFolderAfterConversion =
            readBoolean(data, QStringLiteral("isOpenFolderAfterConversion"));
        m_isClearProcessedFiles = readBoolean(data, QStringLiteral("isClearProcessedFiles"));
        m_isKeepEncryption = readBoolean(data, QStringLiteral("isKeepEncryption"));
        m_pdfOpenPassword = readString(data, QStringLiteral("pdfOpenPassword"));
        m_outputFolderPath = readString(data, QStringLiteral("outputFolderPath"));
        if (data.contains(QStringLiteral("number"))) {
            m_number->setData(data.value(QStringLiteral("number")));
        }
        if (m_outputFolderPath.isEmpty()) {
            m_isSetCurrentAsDefaultOutputFolderPath = false;
        } else if (!m_isSetCurrentAsDefaultOutputFolderPath) {
            m_outputFolderPath = QLatin1String("");
        }
    });
}

void Settings::synchronize()
{
    PreferencesStore& store = PreferencesStore::shared();
    guarded(QStringLiteral("Error in (Settings=>synchronize) : %@"),
            [&] { store.setValue(QStringLiteral("SETTINGS"), getData()); });
    guarded(QStringLiteral("Error in (Settings=>synchronize) : %@"), [&] {
        QString error;
        if (!store.synchronize(&error)) {
            throw std::runtime_error(error.toStdString());
        }
    });
}

} // namespace veltrane
