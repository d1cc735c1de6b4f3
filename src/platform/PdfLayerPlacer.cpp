#include "platform/PdfLayerPlacer.h"

#include <cmath>
#include <qpdf/QPDFMatrix.hh>
#include <set>
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

// Whole numbers (layer boxes are whole points) as integers: shorter, and cheap to write.
QPDFObjectHandle pdfNumber(double value)
{
    if (value == std::floor(value) && std::fabs(value) < 1e9) {
        return QPDFObjectHandle::newInteger(static_cast<long long>(value));
    }
    return QPDFObjectHandle::newReal(value, 4);
}

// Streams copied from another document read their data from its bytes when written; this gives
// each its raw data (still encoded) to keep, so that those bytes can go.
void takeStreamData(QPDFObjectHandle object, std::set<QPDFObjGen>& seen)
{
    if (object.isIndirect() && !seen.insert(object.getObjGen()).second) {
        return;
    }
    if (object.isStream()) {
        QPDFObjectHandle dict = object.getDict();
        object.replaceStreamData(object.getRawStreamData(), dict.getKey("/Filter"),
                                 dict.getKey("/DecodeParms"));
        takeStreamData(dict, seen);
    } else if (object.isDictionary()) {
        for (const auto& [key, value] : object.getDictAsMap()) {
            takeStreamData(value, seen);
        }
    } else if (object.isArray()) {
        for (const QPDFObjectHandle& item : object.getArrayAsVector()) {
            takeStreamData(item, seen);
        }
    }
}

} // namespace

PdfLayerPlacer::PdfLayerPlacer(QPDF& target, PdfLayerContents& layers)
    : m_target(target), m_layers(layers)
{}

QPDFObjectHandle PdfLayerPlacer::formFor(int index, double* layerHeight)
{
    const PdfLayer& layer = m_layers.layers.at(size_t(index));
    const QPDFObjectHandle::Rectangle& r = layer.box;
    *layerHeight = r.ury - r.lly;
    if (layer.whole) {
        m_copied.push_back(m_target.copyForeignObject(
            m_layers.pages.at(size_t(index)).getFormXObjectForPage(false)));
        return m_copied.back();
    }
    // The layer page's one content stream becomes the form itself, its data kept byte for
    // byte (still compressed). Layers drawn alike (a logo, a fixed text) become one form that
    // every page shows.
    QPDFObjectHandle resources = sharedResources(layer);
    // The data's length first: compressed data may hold any byte, so the fields after it could
    // otherwise shift into it.
    std::string key;
    const size_t length = layer.data.size();
    key.reserve(sizeof length + length + layer.filter.size() + 64);
    key.append(reinterpret_cast<const char*>(&length), sizeof length);
    key += layer.data;
    key += layer.filter;
    key += '\0';
    // The box's numbers as they are stored: exact, and far cheaper than as text.
    for (const double side : {r.llx, r.lly, r.urx, r.ury}) {
        key.append(reinterpret_cast<const char*>(&side), sizeof side);
    }
    key += resources.unparse();
    auto known = m_forms.find(key);
    if (known != m_forms.end()) {
        return known->second;
    }
    QPDFObjectHandle form = QPDFObjectHandle::newStream(&m_target, layer.data);
    QPDFObjectHandle dict = form.getDict();
    // The names and boxes are never changed once placed: every form holds the same ones
    // instead of a copy each, a third of what a form costs in memory.
    dict.replaceKey("/Type", sharedName("/XObject"));
    dict.replaceKey("/Subtype", sharedName("/Form"));
    dict.replaceKey("/BBox", sharedBox(r));
    dict.replaceKey("/Resources", resources);
    if (!layer.filter.empty()) {
        dict.replaceKey("/Filter", sharedName(layer.filter));
    }
    return m_forms.emplace(std::move(key), form).first->second;
}

QPDFObjectHandle PdfLayerPlacer::sharedName(const std::string& name)
{
    auto known = m_names.find(name);
    if (known == m_names.end()) {
        known = m_names.emplace(name, QPDFObjectHandle::newName(name)).first;
    }
    return known->second;
}

QPDFObjectHandle PdfLayerPlacer::sharedBox(const QPDFObjectHandle::Rectangle& r)
{
    const std::array<double, 4> key{r.llx, r.lly, r.urx, r.ury};
    auto known = m_boxes.find(key);
    if (known == m_boxes.end()) {
        known = m_boxes
                    .emplace(key, QPDFObjectHandle::newArray(std::vector<QPDFObjectHandle>{
                                      pdfNumber(r.llx), pdfNumber(r.lly), pdfNumber(r.urx),
                                      pdfNumber(r.ury)}))
                    .first;
    }
    return known->second;
}

QPDFObjectHandle PdfLayerPlacer::sharedResources(const PdfLayer& layer)
{
    // Layers list the same fonts and states each in a dictionary of their own: one copy serves.
    auto known = m_resources.find(layer.resourcesKey);
    if (known != m_resources.end()) {
        return known->second;
    }
    m_copied.push_back(m_target.copyForeignObject(layer.resources));
    return m_resources.emplace(layer.resourcesKey, m_copied.back()).first->second;
}

void PdfLayerPlacer::takeCopiedData()
{
    std::set<QPDFObjGen> seen;
    for (const QPDFObjectHandle& object : m_copied) {
        takeStreamData(object, seen);
    }
    m_copied.clear();
}

const std::string& PdfLayerPlacer::matrixText(const QTransform& m)
{
    const std::array<double, 6> key{m.m11(), m.m12(), m.m21(), m.m22(), m.dx(), m.dy()};
    auto known = m_matrices.find(key);
    if (known == m_matrices.end()) {
        known =
            m_matrices
                .emplace(key, QPDFMatrix(key[0], key[1], key[2], key[3], key[4], key[5]).unparse())
                .first;
    }
    return known->second;
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
        // Pages of one size share the text of their matrix.
        return "q " + matrixText(layerToPageMatrix(frame, layerHeight)) + " cm " + name + " Do Q\n";
    };
    const std::string before = drawing(underLayer);
    const std::string after = drawing(overLayer);
    // The page's own content runs inside q ... Q, so whatever state it leaves behind cannot
    // move the stamps drawn after it.
    page.addPageContents(sharedStream(before + "q\n"), true);
    page.addPageContents(sharedStream("\nQ\n" + after), false);
}

} // namespace veltrane
