#include "processing/ImageFrames.h"

#include "platform/ImageReaderLimit.h"
#include "platform/JpegReader.h"
#include "platform/TiffFile.h"

#include <QFileInfo>

namespace veltrane {

std::unique_ptr<ImageFrames> ImageFrames::open(const QString& path, QString* error)
{
    std::unique_ptr<ImageFrames> frames(new ImageFrames);
    const QString kind = QFileInfo(path).suffix().toUpper();
    if (kind == QLatin1String("TIF") || kind == QLatin1String("TIFF")) {
        QString why;
        frames->m_tiff = TiffReader::open(path, &why);
        if (frames->m_tiff && frames->m_tiff->pageCount() > 0) {
            frames->m_count = frames->m_tiff->pageCount();
            return frames;
        }
        frames->m_tiff.reset();
    }
    frames->m_path = path;
    matchImageReaderLimit();
    frames->m_reader = std::make_unique<QImageReader>(path);
    frames->m_reader->setDecideFormatFromContent(true);
    if (!frames->m_reader->canRead()) {
        if (error) {
            *error = QStringLiteral("%1 cannot be read as a picture: %2")
                         .arg(path, frames->m_reader->errorString());
        }
        return nullptr;
    }
    frames->m_count = std::max(frames->m_reader->imageCount(), 1);
    return frames;
}

ImageFrames::~ImageFrames() = default;

std::optional<TiffPageInfo> ImageFrames::tiffPageInfo(int index)
{
    return m_tiff ? m_tiff->pageInfo(index) : std::nullopt;
}

bool ImageFrames::isCutShort()
{
    return m_tiff && m_tiff->isCutShort();
}

std::optional<ImageFrame> ImageFrames::read(int index, QString* error, bool* undecodable)
{
    if (undecodable) {
        *undecodable = false;
    }
    ImageFrame frame;
    if (m_tiff) {
        const std::optional<TiffPageInfo> info = m_tiff->pageInfo(index);
        frame.pixels = m_tiff->readPage(index, error, undecodable);
        if (frame.pixels.isNull() || !info) {
            return std::nullopt;
        }
        frame.hasAlpha = info->hasAlpha;
        frame.xDpi = info->xDpi;
        frame.yDpi = info->yDpi;
        frame.pixels = frame.pixels.convertToFormat(
            frame.hasAlpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
        return frame;
    }
    // Qt's readers go forward only: frames are asked for in order.
    if (index != m_next) {
        if (error) {
            *error = QStringLiteral("frames must be read in order");
        }
        return std::nullopt;
    }
    ++m_next;
    const QSize size = m_reader->size();
    if (size.isValid() && qint64(size.width()) * size.height() > kMaxFramePixels) {
        if (error) {
            *error = QStringLiteral("frame %1 is too large (%2 x %3 pixels)")
                         .arg(index + 1)
                         .arg(size.width())
                         .arg(size.height());
        }
        return std::nullopt;
    }
    if (index == 0 && m_reader->format() == "jpeg") {
        // Decoded straight into the canvas format: the general reader goes through RGB888.
        if (std::optional<JpegPicture> jpeg = readCleanJpeg(m_path, kMaxFramePixels)) {
            if (jpeg->dotsPerMeterX > 0 && jpeg->dotsPerMeterY > 0) {
                frame.xDpi = jpeg->dotsPerMeterX * 0.0254;
                frame.yDpi = jpeg->dotsPerMeterY * 0.0254;
            }
            frame.pixels = std::move(jpeg->pixels);
            return frame;
        }
    }
    QImage image = m_reader->read();
    if (image.isNull()) {
        if (undecodable) {
            *undecodable = true;
        }
        if (error) {
            *error = QStringLiteral("frame %1: %2").arg(index + 1).arg(m_reader->errorString());
        }
        return std::nullopt;
    }
    frame.hasAlpha = image.hasAlphaChannel();
    // Qt reports 96 dpi (3780 dots a metre) for pictures that store no resolution; those count
    // as 72 dpi, one point a pixel.
    const bool stored = !(image.dotsPerMeterX() == 3780 && image.dotsPerMeterY() == 3780);
    if (stored && image.dotsPerMeterX() > 0 && image.dotsPerMeterY() > 0) {
        frame.xDpi = image.dotsPerMeterX() * 0.0254;
        frame.yDpi = image.dotsPerMeterY() * 0.0254;
    }
    // RGB32 goes straight into the JPEG pass; converting first would cost a copy a frame.
    frame.pixels = image.convertToFormat(frame.hasAlpha ? QImage::Format_ARGB32_Premultiplied
                                                        : QImage::Format_RGB32);
    return frame;
}

} // namespace veltrane
