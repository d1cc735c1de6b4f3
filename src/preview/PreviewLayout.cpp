#include "preview/PreviewLayout.h"

#include "model/Numbering.h"

namespace veltrane {

QRectF resizePreview(const QSizeF& box)
{
    const double h = box.height() - 30;
    const double w = h * 0.7061224489795919;
    return QRectF((box.width() - w) / 2, (box.height() - h) / 2, w, h);
}

qint64 previewPageTotal(const Numbering& job, const QList<qint64>& filePages)
{
    if (filePages.isEmpty()) {
        return 4;
    }
    qint64 total = filePages.first();
    if (job.isContinuousNumbering()) {
        total = 0;
        for (qint64 pages : filePages) {
            total += pages;
        }
    }
    if (job.endPage() != 0 && job.endPage() < total) {
        total = job.endPage();
    }
    return total;
}

} // namespace veltrane
