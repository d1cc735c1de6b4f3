#pragma once

#include "platform/PdfPageFrame.h"

#include <map>
#include <QByteArray>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <string>
#include <unordered_map>
#include <vector>

namespace veltrane {

// Puts the layers of a PdfLayerWriter document onto the pages of a target document: each
// layer page becomes a Form XObject of the target, drawn before ("under") or after ("over")
// the page's own content, which is wrapped in q ... Q. Objects shared by the layers (fonts,
// pictures, resource dictionaries) are copied into the target once, and layers drawn alike
// become one form. Must outlive the target's writing: copied
// streams are read from the layer document then. Not thread-safe; one per stamped file.
class PdfLayerPlacer
{
public:
    PdfLayerPlacer(QPDF& target, const QByteArray& layerDocument);

    // `underLayer` and `overLayer` are layer indexes, -1 for none.
    void place(QPDFPageObjectHelper& page, const PdfPageFrame& frame, int underLayer,
               int overLayer);

private:
    QPDFObjectHandle formFor(int layer, double* layerHeight);
    QPDFObjectHandle sharedResources(QPDFObjectHandle resources);
    // Pages with the same wrapping share one stream object instead of each getting a copy.
    QPDFObjectHandle sharedStream(const std::string& content);

    QPDF& m_target;
    QByteArray m_bytes;
    QPDF m_layers;
    std::vector<QPDFPageObjectHelper> m_layerPages;
    std::map<std::string, QPDFObjectHandle> m_streams;
    // Copies in the target, by their content.
    std::unordered_map<std::string, QPDFObjectHandle> m_forms;
    std::unordered_map<std::string, QPDFObjectHandle> m_resources;
};

} // namespace veltrane
