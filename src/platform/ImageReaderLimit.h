#pragma once

namespace veltrane {

// Qt's picture readers refuse any image above 128 MB of decoded pixels, about 33.5 megapixels,
// far below the frame bound the program enforces itself (kMaxFramePixels). Raises Qt's limit
// to that bound at the widest pixel Qt decodes to (8 bytes), once; every reader of pictures
// calls this before it opens one. Any thread.
void matchImageReaderLimit();

} // namespace veltrane
