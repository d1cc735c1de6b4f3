#pragma once

#include <memory>
#include <optional>
#include <QImage>
#include <QImageReader>
#include <QString>

namespace veltrane {

class TiffReader;
struct TiffPageInfo;

// One decoded frame: its pixels (RGB888 or RGB32 when opaque, else premultiplied with alpha)
// and its resolution.
struct ImageFrame
{
    QImage pixels;
    bool hasAlpha = false;
    double xDpi = 72;
    double yDpi = 72;
};

// The frames of a TIFF (every page, through libtiff) or of a picture (every frame, through
// Qt's image readers, chosen by content), read one at a time in file order.
class ImageFrames
{
public:
    // No value (and `error`) when the file cannot be read as a picture at all.
    static std::unique_ptr<ImageFrames> open(const QString& path, QString* error);
    ~ImageFrames();

    int count() const { return m_count; }
    // Whether the frames come from libtiff (random access, one reader per thread possible).
    bool isTiff() const { return m_tiff != nullptr; }
    // Page facts without decoding; TIFF files only.
    std::optional<TiffPageInfo> tiffPageInfo(int index);
    // Frame `index` (0-based, in order); an empty value and `error` when it cannot be had, with
    // `undecodable` set when its data does not decode (a cut file) rather than for a limit.
    std::optional<ImageFrame> read(int index, QString* error, bool* undecodable = nullptr);
    // Whether frames that should follow the counted ones cannot be reached (TIFF only: the
    // file's chain of pages breaks).
    bool isCutShort();

private:
    ImageFrames() = default;

    std::unique_ptr<TiffReader> m_tiff;
    QString m_path;
    std::unique_ptr<QImageReader> m_reader;
    int m_count = 0;
    int m_next = 0;
};

} // namespace veltrane
