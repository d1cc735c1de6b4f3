#include "support/StampFixtures.h"

#include <QBuffer>

using namespace Qt::StringLiterals;

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
    stamp->setData(QVariantMap{{u"stampImage"_s, encodedPicture(picture)},
                               {u"stampImageWidth"_s, size},
                               {u"stampImageHeight"_s, size},
                               {u"stampImageOpacity"_s, qint64(100)},
                               {u"marginAnchor"_s, qint64(anchor)},
                               {u"isSelected"_s, true}});
    return stamp;
}

} // namespace veltrane::test
