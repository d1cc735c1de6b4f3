#pragma once

#include <memory>
#include <QBuffer>
#include <QByteArray>
#include <QPainter>
#include <QSizeF>

class QPdfWriter;

namespace veltrane {

// Collects stamp layers as the pages of one in-memory PDF, so that fonts and pictures used on
// many layers are embedded once. Each layer is a page at 72 dpi without margins; its painter
// draws in points with the origin at the layer's top-left corner, y downward.
class PdfLayerWriter
{
public:
    PdfLayerWriter();
    ~PdfLayerWriter();
    PdfLayerWriter(const PdfLayerWriter&) = delete;
    PdfLayerWriter& operator=(const PdfLayerWriter&) = delete;

    // Starts the next layer, at least `size` points large; returns its index and leaves the
    // painter on it.
    int beginLayer(const QSizeF& size);
    QPainter& painter() { return m_painter; }
    int layerCount() const { return m_layers; }

    // Ends the document and returns its bytes; empty when there were no layers.
    QByteArray finish();

private:
    QByteArray m_bytes;
    QBuffer m_buffer;
    std::unique_ptr<QPdfWriter> m_writer;
    QPainter m_painter;
    int m_layers = 0;
};

} // namespace veltrane
