#pragma once

#include "platform/PdfLayerDocument.h"
#include "platform/PdfPageFrame.h"

#include <memory>
#include <QByteArray>
#include <QString>
#include <thread>
#include <vector>

namespace veltrane {

// How an edited PDF is written.
struct PdfWriteOptions
{
    // An encrypted source's copy keeps its encryption, passwords and permissions; else every
    // copy is written open.
    bool keepEncryption = false;
    // A content-derived /ID, so that the same input and edits give the same bytes (ignored for
    // a copy that keeps its encryption, whose keys come from the source's /ID). A document
    // written as an update always has one.
    bool deterministicId = false;
};

// The layers one page gets: indexes into the layer document, -1 for none.
struct PageLayers
{
    int pageIndex = 0;
    int underLayer = -1;
    int overLayer = -1;
};

// A PDF document opened with QPDF to be stamped: its pages' frames, stamp layers placed on its
// pages, its Creator, and the whole written out. Everything not edited is kept as it is.
// Failures throw std::runtime_error with QPDF's or the system's message. Called from one
// thread; it copies the source and lets go of the documents on threads of its own.
class PdfEditor
{
public:
    // Opens and, with `password`, unlocks `path`. The pages are listed when first asked for: a
    // page tree listing more than kMaxPdfPages pages is refused then, and one whose count is
    // wrong is repaired.
    PdfEditor(const QString& path, const QString& password);
    ~PdfEditor();
    PdfEditor(const PdfEditor&) = delete;
    PdfEditor& operator=(const PdfEditor&) = delete;

    // The page count the page tree claims, read without listing it; -1 when it claims none.
    int declaredPageCount();
    // The frames of the first `count` pages, read before the rest of the page tree (fewer when
    // they cannot be read that way), so that a caller can start on them while the tree is
    // listed. leadingFramesHold() says, once listed, whether they are the listed pages' own in a
    // tree whose count was right.
    std::vector<PdfPageFrame> leadingPageFrames(int count);
    bool leadingFramesHold();
    int pageCount();
    bool isEncrypted() const;
    // Where page `index` (0-based) is stamped: its media box and /Rotate.
    PdfPageFrame pageFrame(int index);
    // The page shows its whole media box: its crop box goes, from the page and from the page
    // tree nodes it would inherit one from.
    void dropCropBox(int index);
    // Reads every object of the source now, which QPDF does anyway before the first object is
    // added: a caller with other work to do meanwhile (drawing the layers) can overlap the two.
    void readAll();
    // Each layer of `layers` becomes a form drawn under or over the listed pages' own content.
    // Called once for each layer document, each page listed in one call at most. When the
    // document is to be written as an update, the stamped pages and their new objects are
    // written out at once (kept in memory until write()) and let go, so that memory does not
    // grow with every page.
    void placeLayers(std::unique_ptr<PdfLayerDocument> layers,
                     const std::vector<PageLayers>& pages);
    // The document information's /Creator.
    void setCreator(const QString& creator);
    // Starts the output at `path` (truncated first) when the document, as opened, looks like one
    // to be written as an update: the source's bytes are copied there on a thread of their own
    // while the caller reads and edits. The copy stops when the pages' listing finds otherwise.
    // write() with the same path finishes it.
    void beginWrite(const QString& path);
    // Writes the document to `path` (truncated first), noticing every failed or short write.
    // An unencrypted source that QPDF read without repairs is written as an update: its bytes
    // unchanged, then only the objects edited or added. Any other is rewritten whole. The last
    // call: the document is let go afterwards.
    void write(const QString& path, const PdfWriteOptions& options);

private:
    struct Document;
    std::unique_ptr<Document> m_document;
    std::thread m_disposal;
};

} // namespace veltrane
