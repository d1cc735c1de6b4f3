#pragma once

#include "model/Numbering.h"

namespace veltrane::fuzz {

// The job the stamping targets run: "Page {0} of {1}" at the bottom right and a small picture
// at the top left, 36-point margins.
Numbering& stampJob();

} // namespace veltrane::fuzz
