#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <QVariantMap>

namespace veltrane {

// Typed reads of a stored dictionary. A number or a string is read as the wanted type, the way
// a user-edited profile may hold it ("12", 12.7, true); a missing key, or a value of another
// kind (array, dictionary, data, date), gives `missing`. Reals that are not finite count as
// missing.
qint64 readInteger(const QVariantMap& data, const QString& key, qint64 missing = 0);
bool readBoolean(const QVariantMap& data, const QString& key, bool missing = false);
double readReal(const QVariantMap& data, const QString& key, double missing = 0.0);
// Strings only; anything else gives `missing`.
QString readString(const QVariantMap& data, const QString& key, const QString& missing = {});
// Data only; anything else gives empty data.
QByteArray readData(const QVariantMap& data, const QString& key);

// Integers are stored as signed 32-bit values: a 64-bit field keeps its low 32 bits.
QVariant storedInteger(qint64 value);

} // namespace veltrane
