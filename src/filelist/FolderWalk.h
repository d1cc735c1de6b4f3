#pragma once

#include <QString>
#include <QStringList>

namespace veltrane {

// The extensions a listed file may have, exactly as written.
const QStringList& acceptedExtensions();

// Whether a file's extension is one of acceptedExtensions(); with `anyCase`, letter case is
// ignored (files named one by one), without it the list is used exactly (folder walks).
bool hasAcceptedExtension(const QString& path, bool anyCase);

// The accepted files of a folder, by name, hidden entries skipped; subfolders too (before or
// after the folder's own files, in name order) when `includeSubfolders` is on.
QStringList walkFolder(const QString& folder, bool includeSubfolders);

} // namespace veltrane
