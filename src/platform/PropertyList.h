#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

namespace veltrane {

// Property lists through libplist, as QVariant trees:
//   dictionary <-> QVariantMap, array <-> QVariantList, string <-> QString,
//   integer <-> qint64, real <-> double, boolean <-> bool, data <-> QByteArray,
//   date <-> QDateTime (UTC).
// Reading accepts XML and binary ("bplist00") encodings. Hostile input is refused with a
// message instead of exhausting the stack or time: XML may not declare entities or nest deeper
// than kMaxPropertyListDepth, a binary list may hold at most kMaxBinaryObjects objects, and no
// input may exceed kMaxPropertyListBytes. Any thread may call these functions.

inline constexpr int kMaxPropertyListDepth = 512;
inline constexpr quint64 kMaxBinaryObjects = 32768;
inline constexpr qint64 kMaxPropertyListBytes = 256 * 1024 * 1024;

struct PlistResult
{
    QVariant value;
    QString error; // empty on success; otherwise why nothing was read

    bool ok() const { return error.isEmpty(); }
};

// With `maxArrayEntries` not negative, a list holding an array of more entries is refused too
// ("the array "Stamps" holds more than 10000 entries"); a file is refused as soon as its XML
// reaches that entry, without being read whole.
PlistResult readPropertyList(const QByteArray& bytes, qsizetype maxArrayEntries = -1);

// The error of a file that cannot be opened names the file.
PlistResult readPropertyListFile(const QString& path, qsizetype maxArrayEntries = -1);

// Serialises `value`; on failure returns an empty array and sets `error`. Values of types
// outside the list above are refused.
QByteArray toXmlPropertyList(const QVariant& value, QString* error = nullptr);
QByteArray toBinaryPropertyList(const QVariant& value, QString* error = nullptr);

// Writes an XML property list atomically: a temporary file beside `path` renamed into place
// when complete, so an existing file is either kept or wholly replaced. With `ownerOnly`, only
// the user may read the file, from its first byte on.
bool writeXmlPropertyListFile(const QVariant& value, const QString& path, QString* error = nullptr,
                              bool ownerOnly = false);

} // namespace veltrane
