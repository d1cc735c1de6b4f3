#include "platform/PdfLayerDocument.h"

#include "platform/PdfLayerContents.h"

#include <algorithm>
#include <map>
#include <qpdf/Buffer.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <stdexcept>

namespace veltrane {
namespace {

// Where each object of the layer document is written, so that the bytes of one can be had without
// QPDF reading it.
class ObjectSpans
{
public:
    ObjectSpans(QPDF& pdf, const QByteArray& bytes) : m_bytes(bytes)
    {
        std::vector<qsizetype> starts;
        for (const auto& [og, entry] : pdf.getXRefTable()) {
            if (entry.getType() == 1) {
                m_offsets.emplace(og, qsizetype(entry.getOffset()));
                starts.push_back(qsizetype(entry.getOffset()));
            }
        }
        std::sort(starts.begin(), starts.end());
        m_starts = std::move(starts);
    }

    // The object's text after its "N G obj" up to where the next object starts; empty when it
    // is not written on its own.
    std::string body(QPDFObjGen og) const
    {
        const auto found = m_offsets.find(og);
        if (found == m_offsets.end()) {
            return {};
        }
        const qsizetype start = found->second;
        const auto next = std::upper_bound(m_starts.begin(), m_starts.end(), start);
        // The last object ends where the cross-reference section starts: never past the bytes.
        const qsizetype end = next == m_starts.end() ? m_bytes.size() : *next;
        const qsizetype header = m_bytes.indexOf("obj", start);
        if (start < 0 || end > m_bytes.size() || header < 0 || header + 3 > end) {
            return {};
        }
        return std::string(m_bytes.constData() + header + 3, size_t(end - header - 3));
    }

private:
    const QByteArray& m_bytes;
    std::map<QPDFObjGen, qsizetype> m_offsets;
    std::vector<qsizetype> m_starts;
};

PdfLayer readLayer(QPDF& pdf, QPDFPageObjectHelper& page, const ObjectSpans& spans)
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
    // Each layer has a resource dictionary of its own, mostly alike: told apart by their bytes,
    // they need not be read one by one.
    QPDFObjectHandle resources = page.getObjectHandle().getKey("/Resources");
    if (resources.isIndirect()) {
        layer.resourcesKey = spans.body(resources.getObjGen());
    }
    if (layer.resourcesKey.empty()) {
        resources = page.getAttribute("/Resources", false);
        if (!resources.isDictionary()) {
            resources = QPDFObjectHandle::newDictionary();
        }
        // The bytes of an object end in "endobj" and a dictionary written out does not: the two
        // kinds of key never meet.
        layer.resourcesKey = "\n" + resources.unparseResolved();
    }
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
    const ObjectSpans spans(c.pdf, c.bytes);
    for (QPDFPageObjectHelper& page : c.pages) {
        c.layers.push_back(readLayer(c.pdf, page, spans));
    }
}

PdfLayerDocument::~PdfLayerDocument() = default;

int PdfLayerDocument::layerCount() const
{
    return int(m_contents->layers.size());
}

} // namespace veltrane
