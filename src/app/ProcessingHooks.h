#pragma once

#include <functional>

namespace veltrane {

// The window's processing state, as the panels that gather or run ask for it.
struct ProcessingHooks
{
    std::function<bool()> isProcessing;
    // Raise and lower the processing flag (status colour, busy indicator).
    std::function<void()> startProcess;
    std::function<void()> stopProcess;
    // The window's controls, off while processing.
    std::function<void(bool enabled)> resetView;
};

} // namespace veltrane
