#include "platform/PdfLayerDocument.h"

#include "platform/PdfLayerContents.h"

#include <qpdf/Buffer.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <stdexcept>

namespace veltrane {
namespace {

PdfLayer readLayer(QPDF& pdf, QPDFPageObjectHelper& page)
{
    PdfLayer layer;
    QPDFObjectHandle box = page.getMediaBox();
    if (!box.isRectangle()) {
        throw std::runtime_error("stamp layer without a page size");
    }
    layer.box = box.getArrayAsRectangle();
    QPDFObjectHandle contents = page.getObjectHandle().getKey("/Contents");
    QPDFObjectHandle dict = contents.isStream() ? contents.getDict() : QPDFObjectHandle();
    QPDFObjectHandle filter = dict.isInitialized() ? dict.getKey("/Filter") : QPDFObjectHandle();
    layer.whole = !contents.isStream() || !(filter.isNull() || filter.isName()) ||
                  !dict.getKey("/DecodeParms").isNull();
    if (!layer.whole) {
        const std::shared_ptr<Buffer> raw = contents.getRawStreamData();
        layer.data.assign(reinterpret_cast<const char*>(raw->getBuffer()), raw->getSize());
        layer.filter = filter.isName() ? filter.getName() : std::string();
    }
    QPDFObjectHandle resources = page.getAttribute("/Resources", false);
    if (!resources.isDictionary()) {
        resources = QPDFObjectHandle::newDictionary();
    }
    layer.resourcesKey = resources.unparseResolved();
    // Only objects of their own can be copied into another document.
    layer.resources = resources.isIndirect() ? resources : pdf.makeIndirectObject(resources);
    return layer;
}

} // namespace

PdfLayerDocument::PdfLayerDocument(const QByteArray& bytes)
    : m_contents(std::make_unique<PdfLayerContents>())
{
    PdfLayerContents& c = *m_contents;
    c.bytes = bytes;
    c.pdf.setSuppressWarnings(true);
    c.pdf.processMemoryFile("stamp layers", c.bytes.constData(), size_t(c.bytes.size()));
    c.pages = QPDFPageDocumentHelper(c.pdf).getAllPages();
    c.layers.reserve(c.pages.size());
    for (QPDFPageObjectHelper& page : c.pages) {
        c.layers.push_back(readLayer(c.pdf, page));
    }
}

PdfLayerDocument::~PdfLayerDocument() = default;

int PdfLayerDocument::layerCount() const
{
    return int(m_contents->layers.size());
}

} // namespace veltrane
