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

// The first `count` pages as the page tree lists them, read without the rest of the tree: fewer
// when the tree holds fewer, or when a page comes that QPDF would list as a copy. Once the
// whole tree is listed, only pages that are the same objects at the same places are the
// document's.
std::vector<QPDFObjectHandle> leadingPdfPages(QPDF& pdf, size_t count);

// The page count the page tree claims at its root; -1 when it claims none within kMaxPdfPages.
int declaredPdfPageCount(QPDF& pdf);

// Makes the page tree's own page count match `pages` (flattening the tree when it does not), so
// that readers who trust the count see the pages that are there. True when it changed the tree.
bool repairPageCount(QPDF& pdf, const std::vector<QPDFPageObjectHelper>& pages);

} // namespace veltrane
