#pragma once

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QSize>

namespace veltrane::test {

// A GIF89a animation of one solid-coloured frame per colour (at most four colours), and where
// each frame's image descriptor begins, so a test can cut the file inside a chosen frame. Cut
// 11 bytes after its start (the descriptor and the code size kept), a frame is counted by Qt's
// reader but does not decode.
struct GifFile
{
    QByteArray bytes;
    QList<qsizetype> frameOffsets;
};
GifFile makeGif(const QSize& size, const QList<QColor>& frames);

} // namespace veltrane::test
