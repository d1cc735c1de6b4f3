#pragma once

// The fuzz targets: each takes any bytes and must neither crash, hang nor leak, whatever they
// hold. The fuzzers call them, and the regression test replays every input they once failed on.
#include <cstddef>
#include <cstdint>

namespace veltrane::fuzz {

// Sets up what every target needs once: a headless GUI application, logs swallowed, data,
// configuration and preferences in a private temporary folder.
void initEnvironment();

// A profile: the bytes as a profile file (any property-list encoding), loaded into a job, and
// read directly as a property list.
int profileLoad(const uint8_t* data, size_t size);
// A pasted import list.
int listImport(const uint8_t* data, size_t size);
// A file item: the first byte picks the accepted extension, the rest is the file.
int fileItem(const uint8_t* data, size_t size);
// PDF stamping of the bytes as a PDF document, with a text and a picture stamp.
int pdfStamping(const uint8_t* data, size_t size);
// TIFF and picture stamping: the first byte picks the extension, the rest is the file.
int imageStamping(const uint8_t* data, size_t size);
// The usage record's file.
int usagesLoad(const uint8_t* data, size_t size);

struct Target
{
    const char* name;
    int (*run)(const uint8_t* data, size_t size);
};

// Every target, by the name its fuzzer executable and regression folder carry.
inline constexpr Target kTargets[] = {
    {"profile_load", profileLoad}, {"list_import", listImport},       {"file_item", fileItem},
    {"pdf_stamping", pdfStamping}, {"image_stamping", imageStamping}, {"usages_load", usagesLoad},
};

} // namespace veltrane::fuzz
