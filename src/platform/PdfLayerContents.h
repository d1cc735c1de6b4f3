#pragma once

#include <QByteArray>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <string>
#include <vector>

namespace veltrane {

// One layer as a PdfLayerPlacer needs it.
struct PdfLayer
{
    QPDFObjectHandle::Rectangle box;
    // The page's one content stream as stored, with its filter (a name, or empty). A layer whose
    // content is anything else is `whole`: placed as QPDF makes a form of its page.
    std::string data;
    std::string filter;
    bool whole = false;
    QPDFObjectHandle resources;
    // The resources as text: layers whose dictionaries read alike share one copy.
    std::string resourcesKey;
};

// The inside of a PdfLayerDocument. A PdfLayerPlacer copies fonts and pictures from `pdf`, then
// gives the copies data of their own: neither `pdf` nor `bytes` need outlive the placing.
struct PdfLayerContents
{
    QByteArray bytes; // QPDF reads from it in place
    QPDF pdf;
    std::vector<QPDFPageObjectHelper> pages;
    std::vector<PdfLayer> layers;
};

} // namespace veltrane
