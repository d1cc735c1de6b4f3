#include "platform/ImageMetadata.h"

#include <exiv2/exiv2.hpp>
#include <mutex>
#include <QFile>

namespace veltrane {
namespace {

// Exiv2 must be set up once before threads read metadata; its warnings are not ours to print.
void initialiseExiv2()
{
    static std::once_flag once;
    std::call_once(once, [] {
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        Exiv2::XmpParser::initialize();
    });
}

} // namespace

std::optional<ImageMetadata> readImageMetadata(const QString& path)
{
    initialiseExiv2();
    try {
        auto image = Exiv2::ImageFactory::open(std::string(QFile::encodeName(path).constData()));
        if (!image.get()) {
            return std::nullopt;
        }
        image->readMetadata();
        ImageMetadata metadata;
        const Exiv2::ExifData& exif = image->exifData();
        for (const Exiv2::Exifdatum& datum : exif) {
            const std::string group = datum.groupName();
            metadata.hasExif |= group == "Photo";
            metadata.hasTiff |= group == "Image";
        }
        auto text = [&](const char* key) -> std::optional<QString> {
            const auto it = exif.findKey(Exiv2::ExifKey(key));
            if (it == exif.end()) {
                return std::nullopt;
            }
            return QString::fromStdString(it->toString()).trimmed();
        };
        metadata.dateTimeOriginal = text("Exif.Photo.DateTimeOriginal");
        metadata.dateTime = text("Exif.Image.DateTime");
        const auto compression = exif.findKey(Exiv2::ExifKey("Exif.Image.Compression"));
        if (compression != exif.end() && compression->count() > 0) {
            metadata.compression = qint32(compression->toLong());
        }
        return metadata;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::optional<QString> captureDate(const std::optional<ImageMetadata>& metadata)
{
    std::optional<QString> date = QString(QLatin1String(""));
    if (!metadata) {
        return date;
    }
    if (metadata->hasExif) {
        date = metadata->dateTimeOriginal;
    }
    if (metadata->hasTiff && !date) {
        date = metadata->dateTime;
    }
    return date;
}

} // namespace veltrane
