#include "platform/PdfXrefSection.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace veltrane {
namespace {

// Runs of consecutive object numbers: the subsections of a table, the /Index of a stream.
std::vector<std::pair<int, int>> subsections(const std::vector<PdfXrefEntry>& sorted)
{
    std::vector<std::pair<int, int>> runs;
    for (const PdfXrefEntry& entry : sorted) {
        if (!runs.empty() && runs.back().first + runs.back().second == entry.id) {
            ++runs.back().second;
        } else {
            runs.emplace_back(entry.id, 1);
        }
    }
    return runs;
}

void sortById(std::vector<PdfXrefEntry>& entries)
{
    std::sort(entries.begin(), entries.end(),
              [](const PdfXrefEntry& a, const PdfXrefEntry& b) { return a.id < b.id; });
}

void appendEnd(std::string& out, std::int64_t sectionOffset)
{
    out += "startxref\n" + std::to_string(sectionOffset) + "\n%%EOF\n";
}

// Bytes needed to hold `value` big-endian, at least one.
int widthOf(std::uint64_t value)
{
    int width = 1;
    while (width < 8 && (value >> (8 * width)) != 0) {
        ++width;
    }
    return width;
}

void appendBigEndian(std::string& out, std::uint64_t value, int width)
{
    for (int shift = 8 * (width - 1); shift >= 0; shift -= 8) {
        out += char((value >> shift) & 0xff);
    }
}

} // namespace

void appendXrefTable(std::string& out, std::vector<PdfXrefEntry> entries, QPDFObjectHandle trailer,
                     std::int64_t sectionOffset)
{
    sortById(entries);
    out += "xref\n";
    size_t next = 0;
    for (const auto& [first, count] : subsections(entries)) {
        out += std::to_string(first) + ' ' + std::to_string(count) + '\n';
        for (int i = 0; i < count; ++i, ++next) {
            // Each entry is exactly 20 bytes, its end of line included.
            char line[32];
            std::snprintf(line, sizeof line, "%010lld %05d n\r\n",
                          static_cast<long long>(entries[next].offset), entries[next].generation);
            out += line;
        }
    }
    out += "trailer\n" + trailer.unparse() + '\n';
    appendEnd(out, sectionOffset);
}

void appendXrefStream(std::string& out, std::vector<PdfXrefEntry> entries, QPDFObjectHandle trailer,
                      int streamId, std::int64_t sectionOffset)
{
    entries.push_back({streamId, 0, sectionOffset});
    sortById(entries);
    std::uint64_t maxOffset = 0;
    int maxGeneration = 0;
    for (const PdfXrefEntry& entry : entries) {
        maxOffset = std::max(maxOffset, std::uint64_t(entry.offset));
        maxGeneration = std::max(maxGeneration, entry.generation);
    }
    const int offsetWidth = widthOf(maxOffset);
    const int generationWidth = widthOf(std::uint64_t(maxGeneration));
    std::string data;
    data.reserve(entries.size() * size_t(1 + offsetWidth + generationWidth));
    for (const PdfXrefEntry& entry : entries) {
        data += char(1); // an object at a file offset
        appendBigEndian(data, std::uint64_t(entry.offset), offsetWidth);
        appendBigEndian(data, std::uint64_t(entry.generation), generationWidth);
    }
    QPDFObjectHandle index = QPDFObjectHandle::newArray();
    for (const auto& [first, count] : subsections(entries)) {
        index.appendItem(QPDFObjectHandle::newInteger(first));
        index.appendItem(QPDFObjectHandle::newInteger(count));
    }
    QPDFObjectHandle dict = trailer.shallowCopy();
    QPDFObjectHandle size = dict.getKey("/Size");
    const long long covered =
        std::max<long long>(size.isInteger() ? size.getIntValue() : 0, entries.back().id + 1LL);
    dict.replaceKey("/Size", QPDFObjectHandle::newInteger(covered));
    dict.replaceKey("/Type", QPDFObjectHandle::newName("/XRef"));
    dict.replaceKey("/W",
                    QPDFObjectHandle::newArray(std::vector<QPDFObjectHandle>{
                        QPDFObjectHandle::newInteger(1), QPDFObjectHandle::newInteger(offsetWidth),
                        QPDFObjectHandle::newInteger(generationWidth)}));
    dict.replaceKey("/Index", index);
    dict.replaceKey("/Length", QPDFObjectHandle::newInteger(static_cast<long long>(data.size())));
    out += std::to_string(streamId) + " 0 obj\n" + dict.unparse() + "\nstream\n";
    out += data;
    out += "\nendstream\nendobj\n";
    appendEnd(out, sectionOffset);
}

} // namespace veltrane
