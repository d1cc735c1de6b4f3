// The job's dictionary form, profile files and its preferences entry.
#include "model/DictionaryValues.h"
#include "model/ImageStamp.h"
#include "model/Numbering.h"
#include "model/TextStamp.h"
#include "platform/PreferencesStore.h"
#include "platform/PropertyList.h"
#include "platform/SystemLog.h"

#include <stdexcept>

namespace veltrane {

namespace {

const QString kStamps = QStringLiteral("Stamps");

// An entry with "font" is a text stamp, else one with "stampImage" an image stamp; others are
// not stamps.
std::unique_ptr<IStampItem> stampFromData(const QVariant& entry)
{
    if (entry.typeId() != QMetaType::QVariantMap) {
        return nullptr;
    }
    const QVariantMap data = entry.toMap();
    std::unique_ptr<IStampItem> stamp;
    if (data.contains(QStringLiteral("font"))) {
        stamp = std::make_unique<TextStamp>();
    } else if (data.contains(QStringLiteral("stampImage"))) {
        stamp = std::make_unique<ImageStamp>();
    } else {
        return nullptr;
    }
    stamp->setData(data);
    return stamp;
}

} // namespace

QVariantMap Numbering::getData() const
{
    QVariantMap data;
    guarded(QStringLiteral("Error in (Numbering=>getData) : %@"), [&] {
        data.insert(QStringLiteral("endPage"), storedInteger(m_endPage));
        data.insert(QStringLiteral("hasLabel"), m_hasLabel);
        data.insert(QStringLiteral("isBackupFile"), m_isBackupFile);
        data.insert(QStringLiteral("isContinuousNumbering"), m_isContinuousNumbering);
        data.insert(QStringLiteral("isMarginInPercentage"), m_isMarginInPercentage);
        data.insert(QStringLiteral("isSymmetryPage"), m_isSymmetryPage);
        data.insert(QStringLiteral("labelPrefix"), m_labelPrefix);
        data.insert(QStringLiteral("marginLeft"), m_marginLeft);
        data.insert(QStringLiteral("marginTop"), m_marginTop);
        data.insert(QStringLiteral("marginRight"), m_marginRight);
        data.insert(QStringLiteral("marginBottom"), m_marginBottom);
        data.insert(QStringLiteral("marginUnit"), storedInteger(m_marginUnit));
        data.insert(QStringLiteral("numberSteps"), storedInteger(m_numberSteps));
        data.insert(QStringLiteral("outputFolder"), m_outputFolder);
        data.insert(QStringLiteral("pageRange"), storedInteger(m_pageRange));
        data.insert(QStringLiteral("startNumber"), storedInteger(m_startNumber));
        data.insert(QStringLiteral("startPage"), storedInteger(m_startPage));
        data.insert(QStringLiteral("isHighlightStamp"), m_isHighlightStamp);
        data.insert(QStringLiteral("isLivePreview"), m_isLivePreview);
        QVariantList stamps;
        stamps.reserve(qsizetype(m_stamps.size()));
        for (const auto& stamp : m_stamps) {
            stamps.append(stamp->getData());
        }
        data.insert(kStamps, stamps);
    });
    return data;
}

bool Numbering::setData(const QVariant& value)
{
    bool applied = false;
    beginUpdate();
    guarded(QStringLiteral("Error in (Numbering=>setData:) : %@"), [&] {
        if (value.typeId() != QMetaType::QVariantMap) {
            return;
        }
        const QVariantMap data = value.toMap();
        const qsizetype stamps = data.value(kStamps).toList().size();
        if (stamps > kMaxStamps) {
            // Refused before anything changes: drawing that many would stall every page.
            throw std::runtime_error(QStringLiteral("the job holds %1 stamps, more than %2")
                                         .arg(stamps)
                                         .arg(kMaxStamps)
                                         .toStdString());
        }
        setEndPage(readInteger(data, QStringLiteral("endPage")));
        setHasLabel(readBoolean(data, QStringLiteral("hasLabel")));
        setIsBackupFile(readBoolean(data, QStringLiteral("isBackupFile")));
        setIsContinuousNumbering(readBoolean(data, QStringLiteral("isContinuousNumbering")));
        setIsMarginInPercentage(readBoolean(data, QStringLiteral("isMarginInPercentage")));
        setIsSymmetryPage(readBoolean(data, QStringLiteral("isSymmetryPage")));
        setLabelPrefix(readString(data, QStringLiteral("labelPrefix")));
        setMarginLeft(readReal(data, QStringLiteral("marginLeft")));
        setMarginTop(readReal(data, QStringLiteral("marginTop")));
        setMarginRight(readReal(data, QStringLiteral("marginRight")));
        setMarginBottom(readReal(data, QStringLiteral("marginBottom")));
        setMarginUnit(qint32(readInteger(data, QStringLiteral("marginUnit"))));
        setNumberSteps(readInteger(data, QStringLiteral("numberSteps")));
        setOutputFolder(readString(data, QStringLiteral("outputFolder")));
        setPageRange(qint32(readInteger(data, QStringLiteral("pageRange"))));
        setStartNumber(readInteger(data, QStringLiteral("startNumber")));
        setStartPage(readInteger(data, QStringLiteral("startPage")));
        setIsHighlightStamp(readBoolean(data, QStringLiteral("isHighlightStamp")));
        setIsLivePreview(readBoolean(data, QStringLiteral("isLivePreview")));
        applyStamps(data);
        applied = true;
    });
    endUpdate(false);
    return applied;
}

void Numbering::applyStamps(const QVariantMap& data)
{
    m_stamps.clear();
    const QVariant entries = data.value(kStamps);
    if (entries.typeId() != QMetaType::QVariantList) {
        return;
    }
    for (const QVariant& entry : entries.toList()) {
        if (auto stamp = stampFromData(entry)) {
            m_stamps.push_back(std::move(stamp));
        }
    }
}

bool Numbering::save(const QString& path) const
{
    bool saved = false;
    guarded(QStringLiteral("Error in [save:] : %@"), [&] {
        QString error;
        if (!writeXmlPropertyListFile(getData(), path, &error)) {
            throw std::runtime_error(error.toStdString());
        }
        saved = true;
    });
    return saved;
}

bool Numbering::load(const QString& path)
{
    bool loaded = false;
    guarded(QStringLiteral("Error in [load:] : %@"), [&] {
        // A job of too many stamps is refused while it is read, not after.
        const PlistResult read = readPropertyListFile(path, kMaxStamps);
        if (!read.ok()) {
            throw std::runtime_error(read.error.toStdString());
        }
        if (read.value.typeId() != QMetaType::QVariantMap) {
            throw std::runtime_error(
                QStringLiteral("%1 does not hold a stamp profile").arg(path).toStdString());
        }
        loaded = setData(read.value);
    });
    return loaded;
}

void Numbering::synchronize() const
{
    guarded(QStringLiteral("Error in (Numbering=>synchronize) : %@"), [&] {
        PreferencesStore& store = PreferencesStore::shared();
        store.setValue(QStringLiteral("NUMBERING"), getData());
        QString error;
        if (!store.synchronize(&error)) {
            throw std::runtime_error(error.toStdString());
        }
    });
}

} // namespace veltrane
