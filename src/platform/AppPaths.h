#pragma once

#include <QString>

namespace veltrane {

// The application's data folder: the user's data folder (XDG, ~/.local/share) joined with
// "Orlavex/Veltrane2"; "" when the user's data folder cannot be determined.
QString getAppPath();

// Makes sure getAppPath() + `subPath` is a folder, creating missing parents. True when it is
// (or now is) a folder; otherwise false with the reason in `error`.
bool createApplicationUsersFolder(const QString& subPath, QString* error);

// The application's display name, "Veltrane", followed by `suffix` when given.
QString getAppTitle(const QString& suffix = {});

} // namespace veltrane
