#pragma once

#include <qpdf/QPDFPageObjectHelper.hh>
#include <vector>

class QPDF;

namespace veltrane {

// Documents whose page tree lists more pages than this are refused: listing, stamping and
// writing them would take memory without bound (a tree can name one page a million times).
inline constexpr size_t kMaxPdfPages = 100'000;

// The document's pages in order, as QPDF lists them. Throws std::runtime_error, before QPDF
// builds anything, when the page tree lists more than kMaxPdfPages pages.
std::vector<QPDFPageObjectHelper> listPdfPages(QPDF& pdf);

// Makes the page tree's own page count match `pages` (flattening the tree when it does not), so
// that readers who trust the count see the pages that are there. True when it changed the tree.
bool repairPageCount(QPDF& pdf, const std::vector<QPDFPageObjectHelper>& pages);

} // namespace veltrane
