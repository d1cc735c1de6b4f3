#pragma once

#include <QByteArray>
#include <QString>

namespace veltrane::fuzz {

// A private folder that lasts for the whole process.
QString workFolder();

// Writes `bytes` to a file named `name` in the work folder, replacing it; returns its path.
QString writeInput(const QString& name, const char* bytes, size_t size);

// The accepted extension that a selector byte picks.
QString extensionFor(unsigned char selector);

} // namespace veltrane::fuzz

namespace veltrane::fuzz {

// A usage record file as the program writes it.
QByteArray sampleUsagesLog();

} // namespace veltrane::fuzz
