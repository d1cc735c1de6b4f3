#pragma once

#include <memory>
#include <QByteArray>

namespace veltrane {

struct PdfLayerContents;

// Stamp layers drawn as the pages of one PDF, read back and taken apart so that a PdfEditor can
// put them on another document's pages. Used by one thread at a time. Throws std::runtime_error
// when the bytes are not such a document.
class PdfLayerDocument
{
public:
    explicit PdfLayerDocument(const QByteArray& bytes);
    ~PdfLayerDocument();
    PdfLayerDocument(const PdfLayerDocument&) = delete;
    PdfLayerDocument& operator=(const PdfLayerDocument&) = delete;

    int layerCount() const;
    PdfLayerContents& contents() { return *m_contents; }

private:
    std::unique_ptr<PdfLayerContents> m_contents;
};

} // namespace veltrane
