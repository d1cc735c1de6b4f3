#pragma once

#include <optional>
#include <QString>

namespace veltrane {

// The installed font family that draws `family`: the family itself when it is installed, else
// the first installed family that fontconfig's configuration binds to the name as an alias
// (metric-compatible substitutes such as Helvetica -> Nimbus Sans). No value when the name names
// no installed font; fontconfig's generic fallbacks do not count. Results are cached; any thread.
std::optional<QString> resolveFontFamily(const QString& family);

} // namespace veltrane
