#include "model/ColorArchive.h"

#include <cmath>
#include <QDataStream>
#include <QIODevice>

namespace veltrane {
namespace {
constexpr char kMagic[4] = {'V', 'C', 'L', 'R'};
constexpr quint8 kVersion = 1;
constexpr quint8 kModelSRGB = 0;
constexpr qsizetype kSize = 4 + 1 + 1 + 4 * 8;
} // namespace

QByteArray archiveColor(const QColor& color)
{
    const QColor rgb = color.toRgb();
    QByteArray out;
    QDataStream stream(&out, QIODevice::WriteOnly);
    stream.setByteOrder(QDataStream::BigEndian);
    stream.setFloatingPointPrecision(QDataStream::DoublePrecision);
    stream.writeRawData(kMagic, 4);
    stream << kVersion << kModelSRGB;
    stream << double(rgb.redF()) << double(rgb.greenF()) << double(rgb.blueF())
           << double(rgb.alphaF());
    return out;
}

std::optional<QColor> unarchiveColor(const QByteArray& data)
{
    if (data.size() != kSize || !data.startsWith(QByteArray(kMagic, 4))) {
        return std::nullopt;
    }
    QDataStream stream(data);
    stream.setByteOrder(QDataStream::BigEndian);
    stream.setFloatingPointPrecision(QDataStream::DoublePrecision);
    stream.skipRawData(4);
    quint8 version = 0;
    quint8 model = 0;
    double c[4] = {};
    stream >> version >> model >> c[0] >> c[1] >> c[2] >> c[3];
    if (stream.status() != QDataStream::Ok || version != kVersion || model != kModelSRGB) {
        return std::nullopt;
    }
    for (double v : c) {
        if (!std::isfinite(v) || v < 0.0 || v > 1.0) {
            return std::nullopt;
        }
    }
    return QColor::fromRgbF(float(c[0]), float(c[1]), float(c[2]), float(c[3]));
}

} // namespace veltrane
