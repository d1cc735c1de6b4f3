#pragma once

#include "platform/PdfXrefSection.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <QCryptographicHash>
#include <qpdf/QPDF.hh>
#include <set>
#include <string>
#include <vector>

namespace veltrane {

// The end of a source PDF that an update is appended to.
struct PdfSourceTail
{
    std::int64_t size = 0;
    // Offset of the source's last cross-reference section: the update's /Prev.
    std::int64_t startxref = 0;
    // That section is a cross-reference stream (else a table): the update's is of the same kind.
    bool xrefStream = false;
    bool endsWithNewline = false;
};

// Reads the first and last bytes of the `size`-byte source open at `fd`. No value when the file
// does not start with its "%PDF-" header, or its last "startxref" does not point at a
// cross-reference table or stream: such a file is written whole instead.
std::optional<PdfSourceTail> readPdfSourceTail(int fd, std::int64_t size);

// Writes the update that, appended to a source, makes it the edited document: edited source
// objects as they are now, every new object (numbered from `firstNewId` on) they reach, and a
// cross-reference section with a trailer pointing back at the source's. The trailer keeps the
// source's /Root, /Info and the first half of its /ID.
// Objects can be written while the document is still being edited, a part at a time, so that
// they are let go from memory; each object is written once.
class PdfUpdateWriter
{
public:
    PdfUpdateWriter(const PdfSourceTail& tail, int firstNewId);

    // Writes the objects `roots` as they are now and the new objects they reach that are not
    // written yet. With `letGo`, every object written, `roots` included, becomes null in `pdf`
    // (its memory freed): nothing may read or change them or write the document whole
    // afterwards.
    void write(QPDF& pdf, const std::vector<QPDFObjGen>& roots, bool letGo);
    // Writes what the trailer reaches, then the cross-reference section. The whole update, in
    // pieces to be written in order.
    std::vector<std::string> finish(QPDF& pdf);

private:
    void queue(QPDFObjectHandle object);
    void reach(QPDFObjectHandle object);
    void reachItem(QPDFObjectHandle item);
    void writeObject(QPDFObjectHandle object);
    void endPiece();

    PdfSourceTail m_tail;
    int m_firstNewId;
    std::set<QPDFObjGen> m_queued;
    std::deque<QPDFObjectHandle> m_pending;
    std::vector<PdfXrefEntry> m_entries;
    // The bytes written: whole pieces, the one being filled, and a digest of the whole pieces.
    std::vector<std::string> m_pieces;
    std::string m_piece;
    std::int64_t m_written = 0;
    QCryptographicHash m_digest{QCryptographicHash::Md5};
};

} // namespace veltrane
