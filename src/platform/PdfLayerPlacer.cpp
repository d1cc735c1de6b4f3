#include "platform/PdfLayerPlacer.h"

#include <qpdf/Buffer.hh>
#include <qpdf/QPDFMatrix.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <stdexcept>

namespace veltrane {
namespace {

// Resource dictionaries of the page's own (inherited ones included), so that stamping one page
// never changes another page that shared its resources.
struct PageResources
{
    QPDFObjectHandle resources;
    QPDFObjectHandle xobjects;
};

PageResources ownResources(QPDFPageObjectHelper& page)
{
    PageResources own;
    QPDFObjectHandle resources = page.getAttribute("/Resources", false);
    own.resources =
        resources.isDictionary() ? resources.shallowCopy() : QPDFObjectHandle::newDictionary();
    page.getObjectHandle().replaceKey("/Resources", own.resources);
    QPDFObjectHandle xobjects = own.resources.getKey("/XObject");
    own.xobjects =
        xobjects.isDictionary() ? xobjects.shallowCopy() : QPDFObjectHandle::newDictionary();
    own.resources.replaceKey("/XObject", own.xobjects);
    return own;
}

} // namespace

PdfLayerPlacer::PdfLayerPlacer(QPDF& target, const QByteArray& layerDocument)
    : m_target(target), m_bytes(layerDocument)
{
    m_layers.setSuppressWarnings(true);
    m_layers.processMemoryFile("stamp layers", m_bytes.constData(), size_t(m_bytes.size()));
    m_layerPages = QPDFPageDocumentHelper(m_layers).getAllPages();
}

QPDFObjectHandle PdfLayerPlacer::formFor(int layer, double* layerHeight)
{
    QPDFPageObjectHelper& page = m_layerPages.at(size_t(layer));
    QPDFObjectHandle box = page.getMediaBox();
    if (!box.isRectangle()) {
        throw std::runtime_error("stamp layer without a page size");
    }
    const QPDFObjectHandle::Rectangle r = box.getArrayAsRectangle();
    *layerHeight = r.ury - r.lly;
    // The layer page's one content stream becomes the form itself, its data kept byte for
    // byte (still compressed).
    QPDFObjectHandle contents = page.getObjectHandle().getKey("/Contents");
    QPDFObjectHandle dict = contents.isStream() ? contents.getDict() : QPDFObjectHandle();
    QPDFObjectHandle filter = dict.isInitialized() ? dict.getKey("/Filter") : QPDFObjectHandle();
    if (!contents.isStream() || !(filter.isNull() || filter.isName()) ||
        !dict.getKey("/DecodeParms").isNull()) {
        return m_target.copyForeignObject(page.getFormXObjectForPage(false));
    }
    const std::shared_ptr<Buffer> raw = contents.getRawStreamData();
    std::string data(reinterpret_cast<const char*>(raw->getBuffer()), raw->getSize());
    QPDFObjectHandle resources = sharedResources(page.getAttribute("/Resources", false));
    // Layers drawn alike (a logo, a fixed text) become one form that every page shows.
    std::string key = data;
    key += '\0';
    key += box.unparse() + resources.unparse() + filter.unparse();
    auto known = m_forms.find(key);
    if (known != m_forms.end()) {
        return known->second;
    }
    QPDFObjectHandle form = QPDFObjectHandle::newStream(&m_target, std::move(data));
    QPDFObjectHandle formDict = form.getDict();
    formDict.replaceKey("/Type", QPDFObjectHandle::newName("/XObject"));
    formDict.replaceKey("/Subtype", QPDFObjectHandle::newName("/Form"));
    formDict.replaceKey("/BBox", QPDFObjectHandle::newArray(r));
    formDict.replaceKey("/Resources", resources);
    if (filter.isName()) {
        formDict.replaceKey("/Filter", QPDFObjectHandle::newName(filter.getName()));
    }
    return m_forms.emplace(std::move(key), form).first->second;
}

QPDFObjectHandle PdfLayerPlacer::sharedResources(QPDFObjectHandle resources)
{
    if (!resources.isDictionary()) {
        resources = QPDFObjectHandle::newDictionary();
    }
    // Layers list the same fonts and states each in a dictionary of their own: one copy serves.
    std::string key = resources.unparseResolved();
    auto known = m_resources.find(key);
    if (known != m_resources.end()) {
        return known->second;
    }
    if (!resources.isIndirect()) {
        resources = m_layers.makeIndirectObject(resources);
    }
    return m_resources.emplace(std::move(key), m_target.copyForeignObject(resources)).first->second;
}

QPDFObjectHandle PdfLayerPlacer::sharedStream(const std::string& content)
{
    auto it = m_streams.find(content);
    if (it == m_streams.end()) {
        it = m_streams.emplace(content, QPDFObjectHandle::newStream(&m_target, content)).first;
    }
    return it->second;
}

void PdfLayerPlacer::place(QPDFPageObjectHelper& page, const PdfPageFrame& frame, int underLayer,
                           int overLayer)
{
    if (underLayer < 0 && overLayer < 0) {
        return;
    }
    PageResources own = ownResources(page);
    int suffix = 1;
    auto drawing = [&](int layer) -> std::string {
        if (layer < 0) {
            return {};
        }
        double layerHeight = 0;
        QPDFObjectHandle form = formFor(layer, &layerHeight);
        const std::string name = own.resources.getUniqueResourceName("/VtStamp", suffix);
        own.xobjects.replaceKey(name, form);
        const QTransform m = layerToPageMatrix(frame, layerHeight);
        const QPDFMatrix matrix(m.m11(), m.m12(), m.m21(), m.m22(), m.dx(), m.dy());
        return "q " + matrix.unparse() + " cm " + name + " Do Q\n";
    };
    const std::string before = drawing(underLayer);
    const std::string after = drawing(overLayer);
    // The page's own content runs inside q ... Q, so whatever state it leaves behind cannot
    // move the stamps drawn after it.
    page.addPageContents(sharedStream(before + "q\n"), true);
    page.addPageContents(sharedStream("\nQ\n" + after), false);
}

} // namespace veltrane
