#include "processing/RunChecks.h"

#include "model/ImageStamp.h"
#include "model/Numbering.h"
#include "model/TextStamp.h"
#include "platform/FontResolver.h"
#include "render/StampDrawing.h"

namespace veltrane {

QList<MissingFont> stampsWithMissingFonts(const Numbering& job)
{
    QList<MissingFont> missing;
    const StampList& stamps = job.stamps();
    for (size_t i = 0; i < stamps.size(); ++i) {
        if (!stamps[i]->isSelected() || stamps[i]->kind() != StampKind::Text) {
            continue;
        }
        const auto& text = static_cast<const TextStamp&>(*stamps[i]);
        if (!resolveFontFamily(text.font().fontName())) {
            missing.append({qsizetype(i), text.description(), text.font().fontName()});
        }
    }
    return missing;
}

QString missingFontMessage(const MissingFont& missing)
{
    return QStringLiteral("Stamp %1 \"%2\" asks for the font \"%3\", which is not installed.")
        .arg(missing.stampIndex + 1)
        .arg(missing.stamp, missing.font);
}

QStringList jobRangeProblems(const Numbering& job)
{
    QStringList problems;
    const struct
    {
        const char* name;
        double value;
    } margins[] = {{"left", job.marginLeft()},
                   {"top", job.marginTop()},
                   {"right", job.marginRight()},
                   {"bottom", job.marginBottom()}};
    for (const auto& margin : margins) {
        const double points =
            job.isMarginInPercentage() ? margin.value : job.convertToPointUnit(margin.value);
        if (!isSaneStampNumber(points)) {
            problems << QStringLiteral("The %1 margin (%2) is out of range.")
                            .arg(QLatin1String(margin.name))
                            .arg(margin.value);
        }
    }
    const StampList& stamps = job.stamps();
    for (size_t i = 0; i < stamps.size(); ++i) {
        if (!stamps[i]->isSelected()) {
            continue;
        }
        const double turn =
            stamps[i]->kind() == StampKind::Text
                ? static_cast<const TextStamp&>(*stamps[i]).textRotation()
                : double(static_cast<const ImageStamp&>(*stamps[i]).stampImageRotation());
        if (!isSaneStampNumber(turn)) {
            problems << QStringLiteral("Stamp %1 \"%2\" is turned by %3 degrees, out of range.")
                            .arg(i + 1)
                            .arg(stamps[i]->description())
                            .arg(turn);
        }
    }
    return problems;
}

} // namespace veltrane
