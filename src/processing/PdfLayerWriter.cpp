#include "processing/PdfLayerWriter.h"

#include <cmath>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <stdexcept>

namespace veltrane {

PdfLayerWriter::PdfLayerWriter() : m_buffer(&m_bytes)
{
    m_buffer.open(QIODevice::WriteOnly);
    m_writer = std::make_unique<QPdfWriter>(&m_buffer);
    m_writer->setResolution(72);
    m_writer->setCreator(QStringLiteral("Veltrane"));
}

PdfLayerWriter::~PdfLayerWriter()
{
    if (m_painter.isActive()) {
        m_painter.end();
    }
}

int PdfLayerWriter::beginLayer(const QSizeF& size)
{
    // Whole points, rounded up: the layer must cover the page it is put on.
    const QSizeF points(std::ceil(size.width()) + 1, std::ceil(size.height()) + 1);
    const QPageSize pageSize(points, QPageSize::Point, QString(), QPageSize::ExactMatch);
    const QPageLayout layout(pageSize, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                             QPageLayout::Point);
    if (!m_writer->setPageLayout(layout)) {
        throw std::runtime_error("cannot make a stamp layer of this page size");
    }
    if (m_layers == 0) {
        if (!m_painter.begin(m_writer.get())) {
            throw std::runtime_error("cannot draw stamp layers");
        }
    } else {
        m_painter.restore();
        if (!m_writer->newPage()) {
            throw std::runtime_error("cannot add a stamp layer");
        }
    }
    m_painter.save();
    return m_layers++;
}

QByteArray PdfLayerWriter::finish()
{
    if (m_layers == 0) {
        return {};
    }
    m_painter.restore();
    m_painter.end();
    m_buffer.close();
    return m_bytes;
}

} // namespace veltrane
