#pragma once

namespace veltrane {

// Whether stamped PDFs get a content-derived /ID, so that the same input and job always give
// the same bytes. Off by default: it costs a digest of the whole output. Any thread.
void setDeterministicPdfIds(bool on);
bool deterministicPdfIds();

} // namespace veltrane
