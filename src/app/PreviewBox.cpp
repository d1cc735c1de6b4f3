#include "app/PreviewBox.h"

#include "preview/PreviewLayout.h"

#include <algorithm>
#include <QPainter>

namespace veltrane {

PreviewBox::PreviewBox(QWidget* parent) : QFrame(parent)
{
    setFrameShape(QFrame::StyledPanel);
    setBackgroundRole(QPalette::Dark);
    setAutoFillBackground(true);
    setMinimumSize(240, 320);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAccessibleName(tr("Preview"));
    setAccessibleDescription(tr("The page as the stamps will put it"));
    m_glide.setDuration(100);
    m_glide.setEasingCurve(QEasingCurve::OutCubic);
    connect(&m_glide, &QVariantAnimation::valueChanged, this, [this] { update(); });
}

QRectF PreviewBox::imageViewFrame() const
{
    const QRectF frame = resizePreview(QSizeF(size()));
    // A box narrower than the page's shape would cut the page off at its sides: shrink it to the
    // box's width instead, keeping the shape.
    const double room = width() - 16.0;
    if (frame.width() <= room || room <= 0) {
        return frame;
    }
    const QSizeF fitted(room, frame.height() * room / frame.width());
    return QRectF(QPointF((width() - fitted.width()) / 2, (height() - fitted.height()) / 2),
                  fitted);
}

void PreviewBox::showPreview(const QImage& image, bool fillsView)
{
    m_image = image;
    m_fillsView = fillsView;
    m_pixmap = QPixmap::fromImage(image);
    update();
}

QRectF PreviewBox::shownImageRect() const
{
    const QRectF view = imageViewFrame();
    if (m_image.isNull() || m_fillsView) {
        return view;
    }
    const QSizeF image(m_image.size());
    const double factor =
        std::min({1.0, view.width() / image.width(), view.height() / image.height()});
    const QSizeF shown = image * factor;
    return QRectF(view.center() - QPointF(shown.width() / 2, shown.height() / 2), shown);
}

void PreviewBox::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    if (m_pixmap.isNull()) {
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    m_drawnRect = m_glide.state() == QAbstractAnimation::Running ? m_glide.currentValue().toRectF()
                                                                 : shownImageRect();
    painter.drawPixmap(m_drawnRect, m_pixmap, QRectF(m_pixmap.rect()));
}

void PreviewBox::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    if (!m_pixmap.isNull() && !m_drawnRect.isEmpty() && isVisible()) {
        const QRectF from = m_glide.state() == QAbstractAnimation::Running
                                ? m_glide.currentValue().toRectF()
                                : m_drawnRect;
        m_glide.stop();
        m_glide.setStartValue(from);
        m_glide.setEndValue(shownImageRect());
        m_glide.start();
    }
    emit frameChanged();
}

} // namespace veltrane
