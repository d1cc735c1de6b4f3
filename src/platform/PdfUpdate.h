#pragma once

#include <cstdint>
#include <optional>
#include <qpdf/QPDF.hh>
#include <set>
#include <string>

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

// The bytes that, appended to the source, make it the edited document: the `changed` source
// objects as they are now, every object numbered from `firstNewId` on that they reach, and a
// cross-reference section with a trailer pointing back at the source's. The trailer keeps the
// source's /Root, /Info and the first half of its /ID.
std::string pdfUpdate(QPDF& pdf, const PdfSourceTail& tail, const std::set<QPDFObjGen>& changed,
                      int firstNewId);

} // namespace veltrane
