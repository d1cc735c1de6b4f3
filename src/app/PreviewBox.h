#pragma once

#include <QFrame>
#include <QImage>
#include <QPixmap>
#include <QVariantAnimation>

namespace veltrane {

// The preview box: lays out the image view inside it as resizePreview() says and shows the
// preview image there. A sample page fills the image view; a live page is shrunk to fit, never
// enlarged. Images are made off the GUI thread; this only turns them into pixmaps at the screen's
// device pixel ratio. Main thread.
class PreviewBox : public QFrame
{
    Q_OBJECT
public:
    explicit PreviewBox(QWidget* parent = nullptr);

    // The image view's frame in the box (logical pixels).
    QRectF imageViewFrame() const;
    // Shows `image`; a sample page is stretched over the image view, a live page is not.
    void showPreview(const QImage& image, bool fillsView);
    const QImage& shownImage() const { return m_image; }
    // Where the shown image is drawn, in the box's coordinates (once a resize has settled).
    QRectF shownImageRect() const;

signals:
    // The box changed size (the image view moved with it).
    void frameChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QImage m_image;
    QPixmap m_pixmap;
    bool m_fillsView = true;
    // A resize glides the page to its new place over 0.1 s.
    QVariantAnimation m_glide;
    QRectF m_drawnRect;
};

} // namespace veltrane
