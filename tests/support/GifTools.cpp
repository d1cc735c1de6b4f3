#include "support/GifTools.h"

namespace veltrane::test {
namespace {

void put16(QByteArray& out, int value)
{
    out.append(char(value & 0xff));
    out.append(char((value >> 8) & 0xff));
}

// LZW with 2-bit colour indices, a clear code after every two pixels so that every code stays
// 3 bits wide: large, but valid for every decoder.
QByteArray solidImageData(int pixels, int index)
{
    constexpr int kClear = 4;
    constexpr int kEnd = 5;
    QByteArray packed;
    quint32 bits = 0;
    int held = 0;
    auto code = [&](int value) {
        bits |= quint32(value) << held;
        held += 3;
        while (held >= 8) {
            packed.append(char(bits & 0xff));
            bits >>= 8;
            held -= 8;
        }
    };
    for (int p = 0; p < pixels; ++p) {
        if (p % 2 == 0) {
            code(kClear);
        }
        code(index);
    }
    code(kEnd);
    if (held > 0) {
        packed.append(char(bits & 0xff));
    }
    QByteArray out(1, char(2)); // minimum code size
    for (qsizetype at = 0; at < packed.size(); at += 255) {
        const QByteArray block = packed.mid(at, 255);
        out.append(char(block.size()));
        out.append(block);
    }
    out.append(char(0));
    return out;
}

} // namespace

GifFile makeGif(const QSize& size, const QList<QColor>& frames)
{
    GifFile gif;
    QByteArray& out = gif.bytes;
    out.append("GIF89a");
    put16(out, size.width());
    put16(out, size.height());
    out.append(char(0x91)); // a global table of four colours
    out.append(char(0));
    out.append(char(0));
    for (int i = 0; i < 4; ++i) {
        const QColor colour = frames.value(i, Qt::black);
        out.append(char(colour.red()));
        out.append(char(colour.green()));
        out.append(char(colour.blue()));
    }
    for (int i = 0; i < frames.size(); ++i) {
        out.append("\x21\xf9\x04\x04", 4); // graphic control: keep the frame, 0.1 s
        put16(out, 10);
        out.append(char(0));
        out.append(char(0));
        gif.frameOffsets.append(out.size());
        out.append(char(0x2c));
        put16(out, 0);
        put16(out, 0);
        put16(out, size.width());
        put16(out, size.height());
        out.append(char(0));
        out.append(solidImageData(size.width() * size.height(), i));
    }
    out.append(char(0x3b));
    return gif;
}

} // namespace veltrane::test
