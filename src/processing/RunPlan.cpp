#include "processing/RunPlan.h"

#include "model/Numbering.h"
#include "model/StampItemBase.h"
#include "processing/PageLayout.h"
#include "render/Placement.h"

namespace veltrane {

qint64 stampedPageCount(const Numbering& job, qint64 pages)
{
    qint64 count = 0;
    for (qint64 i = 1; i <= pages; ++i) {
        count += isPageStamped(job, i) ? 1 : 0;
    }
    return count;
}

std::vector<FileStart> planRun(const Numbering& job, const QList<FileItem>& items,
                               qint64 totalPages)
{
    std::vector<FileStart> plan;
    plan.reserve(size_t(items.size()));
    const bool continuous = job.isContinuousNumbering();
    qint64 counter = job.numberCounter();
    qint64 stamped = 0;
    for (const FileItem& item : items) {
        FileStart start;
        start.numberCounter = continuous ? counter : job.startNumber();
        start.stampedBefore = continuous ? stamped : 0;
        start.totalValue = continuous ? totalPages : item.pages();
        plan.push_back(start);
        if (continuous && item.pages() > 0) {
            const qint64 n = stampedPageCount(job, item.pages());
            counter += n * job.numberSteps();
            stamped += n;
        }
    }
    return plan;
}

void restoreMirrorStates(Numbering& job, qint64 stampedPages)
{
    for (const auto& item : job.stamps()) {
        auto* stamp = dynamic_cast<StampItemBase*>(item.get());
        if (!stamp || !stamp->isSelected() || !stamp->isSymmetry()) {
            continue;
        }
        qint32 state = 0;
        if (stampedPages > 0) {
            state = stampedPages % 2 == 1 ? stamp->marginAnchor()
                                          : mirroredMarginAnchor(stamp->marginAnchor());
        }
        stamp->setLastMarginAnchor(state);
    }
}

} // namespace veltrane
