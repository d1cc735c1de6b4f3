#include "processing/PageLayout.h"

#include "model/Numbering.h"

namespace veltrane {

bool isPageStamped(const Numbering& job, qint64 position)
{
    if (position < job.startPage()) {
        return false;
    }
    if (job.endPage() != 0 && position > job.endPage()) {
        return false;
    }
    switch (job.pageRange()) {
    case AllPages:
        return true;
    case OddPages:
        return position % 2 != 0;
    case EvenPages:
        return position % 2 == 0;
    default:
        return false;
    }
}

QRectF marginRect(const Numbering& job, const QRectF& pageBox)
{
    double left, top, right, bottom;
    if (job.isMarginInPercentage()) {
        left = job.marginLeft() / 100.0 * pageBox.width();
        right = job.marginRight() / 100.0 * pageBox.width();
        top = job.marginTop() / 100.0 * pageBox.height();
        bottom = job.marginBottom() / 100.0 * pageBox.height();
    } else {
        left = job.convertToPointUnit(job.marginLeft());
        right = job.convertToPointUnit(job.marginRight());
        top = job.convertToPointUnit(job.marginTop());
        bottom = job.convertToPointUnit(job.marginBottom());
    }
    return QRectF(pageBox.x() + left, pageBox.y() + top, pageBox.width() - left - right,
                  pageBox.height() - top - bottom);
}

QRectF imageMarginRect(const Numbering& job, const QSizeF& size)
{
    auto margin = [&](double value, double dimension) {
        if (value <= 0) {
            return 0.0;
        }
        return job.isMarginInPercentage() ? value / 100.0 * dimension
                                          : job.convertToPointUnit(value);
    };
    const double left = margin(job.marginLeft(), size.width());
    const double top = margin(job.marginTop(), size.height());
    const double right = size.width() - margin(job.marginRight(), size.width());
    const double bottom = size.height() - margin(job.marginBottom(), size.height());
    return QRectF(left, top, right - left, bottom - top);
}

} // namespace veltrane
