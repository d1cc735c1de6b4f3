#pragma once

#include <optional>
#include <QString>

namespace veltrane {

// What a picture's Exif metadata says, read with Exiv2. "Exif" entries are those of the Exif
// sub-directory (Exif.Photo.*), "TIFF" entries those of the main directory (Exif.Image.*, for
// TIFF files the image's own tags).
struct ImageMetadata
{
    bool hasExif = false;
    bool hasTiff = false;
    std::optional<QString> dateTimeOriginal; // Exif DateTimeOriginal
    std::optional<QString> dateTime;         // main-directory DateTime
    std::optional<qint32> compression;       // main-directory Compression
};

// No value when the file cannot be read as a picture.
std::optional<ImageMetadata> readImageMetadata(const QString& path);

// The capture date of a photo: "" without Exif metadata; else DateTimeOriginal, or, when that
// is missing and main-directory tags exist, their DateTime; no value when neither applies.
std::optional<QString> captureDate(const std::optional<ImageMetadata>& metadata);

} // namespace veltrane
