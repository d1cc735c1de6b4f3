#pragma once

#include <cstdint>
#include <qpdf/QPDFObjectHandle.hh>
#include <string>
#include <vector>

namespace veltrane {

// Where one object of an appended update starts in the whole file.
struct PdfXrefEntry
{
    int id = 0;
    int generation = 0;
    std::int64_t offset = 0;
};

// Appends to `out` the cross-reference section that ends a file update, listing `entries`
// (any order) and starting at file offset `sectionOffset`: a classic "xref" table followed by
// `trailer`. /Size must already be in the trailer.
void appendXrefTable(std::string& out, std::vector<PdfXrefEntry> entries, QPDFObjectHandle trailer,
                     std::int64_t sectionOffset);

// The same as a cross-reference stream: object `streamId` (which lists itself) whose dictionary
// is `trailer` with the stream's own keys added; /Size is raised to cover the stream.
void appendXrefStream(std::string& out, std::vector<PdfXrefEntry> entries, QPDFObjectHandle trailer,
                      int streamId, std::int64_t sectionOffset);

} // namespace veltrane
