#pragma once

// The stamp jobs the benchmark programs share: 36-point margins, a text stamp in a corner, a
// picture stamp, and preferences kept away from the user's own.
#include "model/ImageStamp.h"
#include "model/Numbering.h"
#include "model/TextStamp.h"
#include "platform/PreferencesStore.h"

#include <QImage>
#include <QTemporaryDir>

namespace veltrane::bench {

// Points the preferences store at a temporary file for the life of the object.
class PrivatePreferences
{
public:
    PrivatePreferences()
    {
        PreferencesStore::shared().setFilePath(m_dir.filePath(QStringLiteral("p.plist")));
    }

private:
    QTemporaryDir m_dir;
};

inline void setMargins(Numbering& job, double points)
{
    job.setMarginLeft(points);
    job.setMarginTop(points);
    job.setMarginRight(points);
    job.setMarginBottom(points);
}

inline TextStamp& addText(Numbering& job, const QString& format, qint32 anchor)
{
    auto stamp = std::make_unique<TextStamp>();
    stamp->setNumberFormat(format);
    stamp->setMarginAnchor(anchor);
    TextStamp& ref = *stamp;
    job.stamps().push_back(std::move(stamp));
    return ref;
}

inline ImageStamp& addPicture(Numbering& job, const QImage& picture, qint64 width, qint64 height,
                              qint64 opacity, qint32 anchor)
{
    auto stamp = std::make_unique<ImageStamp>();
    stamp->setData(QVariantMap{{QStringLiteral("stampImage"), ImageStamp::encodePicture(picture)},
                               {QStringLiteral("stampImageWidth"), width},
                               {QStringLiteral("stampImageHeight"), height},
                               {QStringLiteral("stampImageOpacity"), opacity},
                               {QStringLiteral("marginAnchor"), qint64(anchor)},
                               {QStringLiteral("isSelected"), true}});
    ImageStamp& ref = *stamp;
    job.stamps().push_back(std::move(stamp));
    return ref;
}

} // namespace veltrane::bench
