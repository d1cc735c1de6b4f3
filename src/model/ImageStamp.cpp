#include "model/ImageStamp.h"

#include "model/DictionaryValues.h"
#include "platform/ImageReaderLimit.h"
#include "platform/SystemLog.h"
#include "platform/TiffFile.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>

namespace veltrane {

ImageStamp::~ImageStamp()
{
    removehandlers();
}

std::unique_ptr<IStampItem> ImageStamp::clone() const
{
    return std::unique_ptr<IStampItem>(new ImageStamp(*this));
}

QVariantMap ImageStamp::getData() const
{
    QVariantMap data;
    guarded(QStringLiteral("Error in (ImageStamp=>getData) : %@"), [&] {
        writeCommonData(data);
        data.insert(QStringLiteral("stampImagePath"), m_stampImagePath);
        data.insert(QStringLiteral("stampImage"), m_stampImage);
        data.insert(QStringLiteral("stampImageWidth"), storedInteger(m_stampImageWidth));
        data.insert(QStringLiteral("stampImageHeight"), storedInteger(m_stampImageHeight));
        data.insert(QStringLiteral("stampImageOpacity"), storedInteger(m_stampImageOpacity));
        data.insert(QStringLiteral("stampImageRotation"), storedInteger(m_stampImageRotation));
    });
    return data;
}

void ImageStamp::setData(const QVariant& value)
{
    guarded(QStringLiteral("Error in (ImageStamp=>setData:) : %@"), [&] {
        m_cacheImage = QImage();
        if (value.typeId() == QMetaType::QVariantMap) {
            const QVariantMap data = value.toMap();
            readCommonData(data);
            m_stampImagePath = readString(data, QStringLiteral("stampImagePath"));
            m_stampImage = readData(data, QStringLiteral("stampImage"));
            m_stampImageWidth = readInteger(data, QStringLiteral("stampImageWidth"));
            m_stampImageHeight = readInteger(data, QStringLiteral("stampImageHeight"));
            m_stampImageOpacity = readInteger(data, QStringLiteral("stampImageOpacity"));
            m_stampImageRotation = readInteger(data, QStringLiteral("stampImageRotation"));
        }
        m_cacheImage = decodePicture(m_stampImage);
    });
}

QImage ImageStamp::decodePicture(const QByteArray& data)
{
    if (data.isEmpty()) {
        return {};
    }
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    // A picture larger than any frame the program takes is refused before it is decoded.
    matchImageReaderLimit();
    QImageReader reader(&buffer);
    if (const QSize size = reader.size();
        size.isValid() && qint64(size.width()) * size.height() > kMaxFramePixels) {
        return {};
    }
    QImage image = reader.read();
    return image;
}

QByteArray ImageStamp::encodePicture(const QImage& picture)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return png;
}

QString ImageStamp::description() const
{
    QString name = label();
    if (name.isEmpty() && !m_stampImagePath.isEmpty()) {
        name = QFileInfo(m_stampImagePath).completeBaseName();
    }
    return QStringLiteral("Image [%1]").arg(name);
}

} // namespace veltrane
