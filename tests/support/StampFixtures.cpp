#include "support/StampFixtures.h"

#include <QBuffer>

namespace veltrane::test {

QByteArray encodedPicture(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

std::unique_ptr<ImageStamp> blockStamp(QColor colour, qint32 anchor, qint64 size)
{
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(colour);
    auto stamp = std::make_unique<ImageStamp>();
    stamp->setData(QVariantMap{{QStringLiteral("stampImage"), encodedPicture(picture)},
                               {QStringLiteral("stampImageWidth"), size},
                               {QStringLiteral("stampImageHeight"), size},
                               {QStringLiteral("stampImageOpacity"), qint64(100)},
                               {QStringLiteral("marginAnchor"), qint64(anchor)},
                               {QStringLiteral("isSelected"), true}});
    return stamp;
}

} // namespace veltrane::test
