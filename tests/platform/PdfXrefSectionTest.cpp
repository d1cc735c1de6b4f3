#include "platform/PdfXrefSection.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace veltrane;

namespace {

QPDFObjectHandle trailer(int size)
{
    QPDFObjectHandle dict = QPDFObjectHandle::newDictionary();
    dict.replaceKey("/Size", QPDFObjectHandle::newInteger(size));
    dict.replaceKey("/Prev", QPDFObjectHandle::newInteger(9));
    return dict;
}

} // namespace

// Entries come in any order; runs of consecutive numbers become one subsection each.
TEST(PdfXrefSectionTest, TableListsRunsOfNumbersInTwentyByteEntries)
{
    std::string out = "x";
    appendXrefTable(out, {{7, 0, 1234}, {3, 0, 17}, {4, 2, 9876543210}}, trailer(8), 5000);
    EXPECT_EQ(out, "x"
                   "xref\n"
                   "3 2\n"
                   "0000000017 00000 n\r\n"
                   "9876543210 00002 n\r\n"
                   "7 1\n"
                   "0000001234 00000 n\r\n"
                   "trailer\n"
                   "<< /Prev 9 /Size 8 >>\n"
                   "startxref\n"
                   "5000\n"
                   "%%EOF\n");
}

// The stream lists itself, sizes its fields to the largest offset and generation, and covers
// its own number in /Size.
TEST(PdfXrefSectionTest, StreamFieldsAreAsWideAsTheirLargestValue)
{
    const struct
    {
        const char* name;
        std::vector<PdfXrefEntry> entries;
        int size;
        int streamId;
        std::int64_t section;
        std::string dict;
        std::string data;
    } rows[] = {
        {"one-byte offsets",
         {{2, 0, 0x10}, {1, 0, 0x20}},
         3,
         3,
         0x30,
         "<< /Index [ 1 3 ] /Length 9 /Prev 9 /Size 4 /Type /XRef /W [ 1 1 1 ] >>",
         std::string("\x01\x20\x00\x01\x10\x00\x01\x30\x00", 9)},
        {"wide offsets, a generation, a gap",
         {{5, 300, 0x123456}},
         9,
         9,
         0x200000,
         "<< /Index [ 5 1 9 1 ] /Length 12 /Prev 9 /Size 10 /Type /XRef /W [ 1 3 2 ] >>",
         std::string("\x01\x12\x34\x56\x01\x2c\x01\x20\x00\x00\x00\x00", 12)},
        {"a stream numbered past the objects",
         {{1, 0, 0x10}},
         40,
         40,
         0x30,
         "<< /Index [ 1 1 40 1 ] /Length 6 /Prev 9 /Size 41 /Type /XRef /W [ 1 1 1 ] >>",
         std::string("\x01\x10\x00\x01\x30\x00", 6)},
    };
    for (const auto& row : rows) {
        std::string out;
        appendXrefStream(out, row.entries, trailer(row.size), row.streamId, row.section);
        EXPECT_EQ(out, std::to_string(row.streamId) + " 0 obj\n" + row.dict + "\nstream\n" +
                           row.data + "\nendstream\nendobj\nstartxref\n" +
                           std::to_string(row.section) + "\n%%EOF\n")
            << row.name;
    }
}
