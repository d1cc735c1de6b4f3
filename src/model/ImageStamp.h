#pragma once

#include "model/StampItemBase.h"

#include <QByteArray>
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QSizeF>

namespace veltrane {

// One picture (logo, signature, watermark) put on every stamped page. The picture travels
// encoded in stampImage; cacheImage is its decoding, rebuilt by every setData().
class ImageStamp final : public StampItemBase
{
public:
    ImageStamp() = default;
    // Copies the stored fields, the mirror state and the picture; never the open editor.
    ImageStamp(const ImageStamp& other) = default;
    ImageStamp& operator=(const ImageStamp&) = delete;
    ~ImageStamp() override;

    StampKind kind() const override { return StampKind::Image; }
    std::unique_ptr<IStampItem> clone() const override;

    // Null when there is no picture or it does not decode.
    const QImage& cacheImage() const { return m_cacheImage; }
    void setCacheImage(const QImage& image) { m_cacheImage = image; }
    QByteArray stampImage() const { return m_stampImage; }
    void setStampImage(const QByteArray& data) { m_stampImage = data; }
    QString stampImagePath() const { return m_stampImagePath; }
    void setStampImagePath(const QString& path) { m_stampImagePath = path; }
    // Drawn size in page-frame units (points on PDF pages).
    qint64 stampImageWidth() const { return m_stampImageWidth; }
    void setStampImageWidth(qint64 width) { m_stampImageWidth = width; }
    qint64 stampImageHeight() const { return m_stampImageHeight; }
    void setStampImageHeight(qint64 height) { m_stampImageHeight = height; }
    // Percent 0 to 100.
    qint64 stampImageOpacity() const { return m_stampImageOpacity; }
    void setStampImageOpacity(qint64 opacity) { m_stampImageOpacity = opacity; }
    // Whole degrees, positive turns counter-clockwise on the page.
    qint64 stampImageRotation() const { return m_stampImageRotation; }
    void setStampImageRotation(qint64 degrees) { m_stampImageRotation = degrees; }

    void draw(QPainter& context, const QRectF& rect, const QRectF& offsetRect, qint32 marginAnchor,
              qint64 pageNumber, qint64 totalPages, bool isHighLightStamp) override;
    QVariantMap getData() const override;
    // Applies a dictionary (anything else leaves the stored fields), then rebuilds cacheImage
    // from stampImage.
    void setData(const QVariant& data) override;
    QString description() const override;

    // Decodes encoded picture data; a null image when it does not decode or is too large.
    static QImage decodePicture(const QByteArray& data);
    // `picture` encoded as PNG, the form stampImage holds for a picture made in memory.
    static QByteArray encodePicture(const QImage& picture);

    // The image twin of TextStamp::getTransformedPoint.
    QPointF getTransformedPoint(const QSizeF& imageSize, qint64 angle, const QRectF& rect,
                                qint32 marginAnchor, qint32 pointIndex) const;

protected:
    QString className() const override { return QStringLiteral("ImageStamp"); }

private:
    QImage m_cacheImage;
    QByteArray m_stampImage;
    QString m_stampImagePath;
    qint64 m_stampImageWidth = 0;
    qint64 m_stampImageHeight = 0;
    qint64 m_stampImageOpacity = 100;
    qint64 m_stampImageRotation = 0;
};

} // namespace veltrane
