#include "platform/PdfPageTree.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <set>
#include <stdexcept>
#include <string>

namespace veltrane {
namespace {

// Walks the page tree in document order, each inner node visited once (a tree that loops back
// is QPDF's to report), handing each leaf to `leaf` until it returns false; gives up past
// `limit` leaves and pending nodes. The number of leaves seen, or limit + 1 when given up.
template <typename Leaf> size_t walkPageTree(QPDF& pdf, size_t limit, Leaf leaf)
{
    size_t count = 0;
    std::set<QPDFObjGen> visited;
    std::vector<QPDFObjectHandle> pending{pdf.getRoot().getKey("/Pages")};
    while (!pending.empty() && count <= limit) {
        QPDFObjectHandle node = pending.back();
        pending.pop_back();
        QPDFObjectHandle kids = node.isDictionary() ? node.getKey("/Kids") : QPDFObjectHandle();
        if (!kids.isArray()) {
            ++count;
            if (!leaf(node)) {
                return count;
            }
            continue;
        }
        if (node.isIndirect() && !visited.insert(node.getObjGen()).second) {
            continue;
        }
        const int n = kids.getArrayNItems();
        for (int i = n - 1; i >= 0 && count + pending.size() <= limit; --i) {
            pending.push_back(kids.getArrayItem(i));
        }
        if (count + pending.size() > limit) {
            return limit + 1;
        }
    }
    return count;
}

} // namespace

std::vector<QPDFPageObjectHelper> listPdfPages(QPDF& pdf)
{
    if (walkPageTree(pdf, kMaxPdfPages, [](QPDFObjectHandle&) { return true; }) > kMaxPdfPages) {
        throw std::runtime_error("the page tree lists more than " + std::to_string(kMaxPdfPages) +
                                 " pages");
    }
    return QPDFPageDocumentHelper(pdf).getAllPages();
}

std::vector<QPDFObjectHandle> leadingPdfPages(QPDF& pdf, size_t count)
{
    std::vector<QPDFObjectHandle> pages;
    walkPageTree(pdf, kMaxPdfPages, [&](QPDFObjectHandle& leaf) {
        // Only pages QPDF lists as they are; it makes copies of any other kind.
        if (pages.size() == count || !leaf.isDictionary() || !leaf.isIndirect()) {
            return false;
        }
        pages.push_back(leaf);
        return pages.size() < count;
    });
    return pages;
}

int declaredPdfPageCount(QPDF& pdf)
{
    QPDFObjectHandle root = pdf.getRoot().getKey("/Pages");
    QPDFObjectHandle count = root.isDictionary() ? root.getKey("/Count") : QPDFObjectHandle();
    if (!count.isInteger() || count.getIntValue() < 0 ||
        count.getIntValue() > static_cast<long long>(kMaxPdfPages)) {
        return -1;
    }
    return int(count.getIntValue());
}

bool repairPageCount(QPDF& pdf, const std::vector<QPDFPageObjectHelper>& pages)
{
    QPDFObjectHandle root = pdf.getRoot().getKey("/Pages");
    QPDFObjectHandle count = root.getKey("/Count");
    if (count.isInteger() && count.getIntValue() == static_cast<long long>(pages.size())) {
        return false;
    }
    // Inherited attributes move onto the pages first, so that nothing is lost with the inner
    // nodes.
    pdf.pushInheritedAttributesToPage();
    std::vector<QPDFObjectHandle> kids;
    kids.reserve(pages.size());
    for (QPDFPageObjectHelper page : pages) { // a copy: the handle getter is not const
        QPDFObjectHandle object = page.getObjectHandle();
        object.replaceKey("/Parent", root);
        kids.push_back(object);
    }
    root.replaceKey("/Kids", QPDFObjectHandle::newArray(kids));
    root.replaceKey("/Count", QPDFObjectHandle::newInteger(static_cast<long long>(pages.size())));
    return true;
}

} // namespace veltrane
