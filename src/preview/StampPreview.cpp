// The job's preview images: the sample page and the live page of a listed file.
#include "model/Numbering.h"
#include "model/TextStamp.h"
#include "preview/PageCache.h"
#include "processing/PageLayout.h"

#include <algorithm>
#include <cmath>
#include <QPainter>

namespace veltrane {

QImage Numbering::preview2(qint64 totalPages, const QSizeF& size, qint32 highlightStampIndex,
                           double scale)
{
    reset();
    // A sane zoom only: the page is at most a few screens wide.
    scale = std::isfinite(scale) ? std::clamp(scale, 0.05, 8.0) : 1.0;
    const QSize pixels(std::max(1, int(size.width() * scale)),
                       std::max(1, int(size.height() * scale)));
    QImage page(pixels, QImage::Format_ARGB32_Premultiplied);
    // One unit a point: fonts and stamp sizes in points are pixels here (times the scale).
    page.setDotsPerMeterX(2835);
    page.setDotsPerMeterY(2835);
    page.fill(Qt::transparent);
    const QRectF margins = imageMarginRect(*this, size);
    QPainter painter(&page);
    painter.scale(scale, scale);
    painter.fillRect(QRectF(QPointF(0, 0), size), QColor::fromRgbF(0, 0, 0, 0.5));
    painter.fillRect(margins, Qt::white);
    painter.save();
    QPen dash(Qt::black);
    dash.setWidthF(1);
    dash.setDashPattern({2, 2, 2, 2});
    painter.setPen(dash);
    painter.drawRect(
        QRectF(margins.left(), margins.top() + 1, margins.width() - 1, margins.height() - 1));
    painter.restore();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    qint32 index = 0;
    for (const auto& stamp : m_stamps) {
        const bool highlight = index++ == highlightStampIndex;
        if (stamp->isSelected()) {
            stamp->draw(painter, margins, margins, stamp->marginAnchor(), m_numberCounter,
                        totalPages, highlight);
        }
    }
    return page;
}

QImage Numbering::previewLive(const QString& filePath, qint64 fileIndex, qint64 pageIndex,
                              const QList<qint64>& filePagesList, qint64 totalPages,
                              const QSizeF& size, qint32 highlightStampIndex)
{
    QImage image;
    if (!filePath.isEmpty() && fileIndex >= 0 && !filePagesList.isEmpty()) {
        reset();
        for (qint64 i = 0; i < filePagesList.size(); ++i) {
            if (i == fileIndex) {
                // The marks depend only on the page and the margins: they are kept with the
                // page, so a changed stamp redraws only the stamps.
                image = cachedMarkedPreviewPage(
                    filePath, pageIndex, m_pdfOpenPassword,
                    [this](const QSize& size) { return imageMarginRect(*this, QSizeF(size)); });
            }
            const qint64 pages = filePagesList[i];
            bool shown = false;
            for (qint64 p = 1; p <= pages; ++p) {
                if (!isPageStamped(*this, p)) {
                    continue;
                }
                if (i == fileIndex && p == pageIndex && !image.isNull()) {
                    for (const auto& stamp : m_stamps) {
                        if (stamp->isSelected() && stamp->kind() == StampKind::Text) {
                            static_cast<TextStamp&>(*stamp).setDateTaken(m_dateTaken);
                        }
                    }
                    drawStamps(image, m_numberCounter, totalPages >= 1 ? totalPages : pages,
                               highlightStampIndex, false, nullptr);
                    shown = true;
                    break;
                }
                m_numberCounter += m_numberSteps;
            }
            if (i == fileIndex && !shown && !image.isNull()) {
                // A page the run leaves unstamped is shown as it is, without marks.
                image = cachedPreviewPage(filePath, pageIndex, m_pdfOpenPassword);
            }
            if (!m_isContinuousNumbering) {
                reset();
            }
            if (i == fileIndex) {
                break;
            }
        }
    }
    if (image.isNull()) {
        return preview2(totalPages, size, highlightStampIndex);
    }
    return image;
}

} // namespace veltrane
