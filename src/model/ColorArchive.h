#pragma once

#include <optional>
#include <QByteArray>
#include <QColor>

namespace veltrane {

// The stored form of a colour inside a dictionary's data value (38 bytes):
//   bytes 0-3   "VCLR"            magic
//   byte  4     1                 layout version
//   byte  5     0                 colour model: 0 = sRGB
//   bytes 6-37  R, G, B, A        IEEE 754 doubles, big-endian, each 0.0 to 1.0
// Anything else does not decode.
QByteArray archiveColor(const QColor& color);
std::optional<QColor> unarchiveColor(const QByteArray& data);

} // namespace veltrane
