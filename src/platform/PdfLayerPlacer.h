#pragma once

#include "platform/PdfLayerContents.h"
#include "platform/PdfPageFrame.h"

#include <array>
#include <map>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <QTransform>
#include <string>
#include <unordered_map>
#include <vector>

namespace veltrane {

// Puts the layers of a PdfLayerDocument onto the pages of a target document: each
// layer page becomes a Form XObject of the target, drawn before ("under") or after ("over")
// the page's own content, which is wrapped in q ... Q. Objects shared by the layers (fonts,
// pictures, resource dictionaries) are copied into the target once, and layers drawn alike
// become one form. Not thread-safe; one per stamped file.
class PdfLayerPlacer
{
public:
    PdfLayerPlacer(QPDF& target, PdfLayerContents& layers);

    // `underLayer` and `overLayer` are layer indexes, -1 for none.
    void place(QPDFPageObjectHelper& page, const PdfPageFrame& frame, int underLayer,
               int overLayer);
    // Once every page is placed: what was copied from the layers' document (fonts, pictures)
    // keeps its own data, and no longer needs that document's bytes.
    void takeCopiedData();

private:
    QPDFObjectHandle formFor(int index, double* layerHeight);
    QPDFObjectHandle sharedResources(const PdfLayer& layer);
    // Pages with the same wrapping share one stream object instead of each getting a copy.
    QPDFObjectHandle sharedStream(const std::string& content);
    const std::string& matrixText(const QTransform& matrix);
    // One name object, or one box array, for all the forms that hold it.
    QPDFObjectHandle sharedName(const std::string& name);
    QPDFObjectHandle sharedBox(const QPDFObjectHandle::Rectangle& box);

    QPDF& m_target;
    PdfLayerContents& m_layers;
    std::map<std::string, QPDFObjectHandle> m_streams;
    // Copies in the target, by their content.
    std::unordered_map<std::string, QPDFObjectHandle> m_forms;
    std::unordered_map<std::string, QPDFObjectHandle> m_resources;
    std::map<std::array<double, 6>, std::string> m_matrices;
    std::map<std::string, QPDFObjectHandle> m_names;
    std::map<std::array<double, 4>, QPDFObjectHandle> m_boxes;
    std::vector<QPDFObjectHandle> m_copied; // what was copied from the layers' document
};

} // namespace veltrane
