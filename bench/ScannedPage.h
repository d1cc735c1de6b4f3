#pragma once

#include <QImage>
#include <QRandomGenerator>

// An A4 page scanned at 300 dpi: light grey noise, which no encoder compresses much.
inline QImage scannedA4Page()
{
    QImage scan(2480, 3508, QImage::Format_RGB32);
    QRandomGenerator random(3);
    for (int y = 0; y < scan.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(scan.scanLine(y));
        for (int x = 0; x < scan.width(); ++x) {
            const int v = 230 + int(random.bounded(25));
            row[x] = qRgb(v, v, v);
        }
    }
    return scan;
}
