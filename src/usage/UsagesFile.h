#pragma once

#include "usage/UsagesRecord.h"

#include <QByteArray>
#include <QString>

namespace veltrane {

// The usage file, an XML document: a comment naming the product, then "usagesreporting" with
// one element per kept field and "features" listing one "featureusages" per feature. Dates are
// ISO 8601 with milliseconds in the default time zone, with its offset.

// Files larger than this are refused unread.
inline constexpr qint64 kMaxUsagesFileSize = 4 * 1024 * 1024;

// The document in the exact layout the file has.
QByteArray usagesToXml(const UsagesRecord& record);

// Reads the fields a document holds into `record`. The last element of a name wins; "enabled"
// and "neverAskForReview" can only be switched on, by the exact text "true"; a date or number
// that does not read leaves its field as it was; features are appended. A document that is not
// well formed or declares a document type (entities) changes nothing: false, with the reason in
// `error`.
bool readUsagesXml(const QByteArray& xml, UsagesRecord& record, QString* error);

// Writes the document atomically, creating the folder first. Throws std::runtime_error with a
// reason naming the file.
void saveUsagesFile(const QString& path, const UsagesRecord& record);

// False when there is no file. Otherwise reads it into `record` and returns true, or throws
// std::runtime_error naming the file when it cannot be read, is larger than
// kMaxUsagesFileSize or is refused by readUsagesXml (then `record` is unchanged).
bool loadUsagesFile(const QString& path, UsagesRecord& record);

} // namespace veltrane
