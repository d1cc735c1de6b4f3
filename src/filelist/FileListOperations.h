#pragma once

#include "filelist/FileItem.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

namespace veltrane {

// What the user does with the file list, as plain functions over the ordered items. Rows are
// indexes into the list (the table's highlight); check marks are the items' isSelected. Main
// thread, and never while a run or a gathering is in progress.

// Check commands: 1 checks, 2 unchecks, 3 inverts, any other code changes nothing; over `rows`
// or over every item.
void checkUncheckInvertSelection(QList<FileItem>& items, const QList<int>& rows, int code);
void checkUncheckInvertAll(QList<FileItem>& items, int code);

// Removes the rows; true when the list changed.
bool removeRows(QList<FileItem>& items, const QList<int>& rows);

// Moves each highlighted row one place up (first to last) or down (last to first) and returns
// the rows they now have, for the new highlight.
QList<int> moveUp(QList<FileItem>& items, const QList<int>& rows);
QList<int> moveDown(QList<FileItem>& items, const QList<int>& rows);

// "<n> Total file(s); Total page count of PDF files: <n>  TIFF files: <n>  Other files: <n>".
QString totalLabelText(const QList<FileItem>& items);

// Whether any of the rows is a PDF (by its extension, any case).
bool containsPDFFiles(const QList<FileItem>& items, const QList<int>& rows);

// The tooltip of the "secured" column: "Secured." or "Secured and having password." for an
// encrypted item, none otherwise.
QString securedToolTip(const FileItem& item);

// Tries `password` on each highlighted PDF: where it opens the file, the item keeps it and takes
// the page size (and the page count a lock hid). An empty password changes nothing.
void updatePDFReadPassword(QList<FileItem>& items, const QList<int>& rows, const QString& password);

// The tab-delimited export: a header line, then one line per item in list order.
QByteArray exportText(const QList<FileItem>& items);
// Writes exportText() to `path` (UTF-8, no byte-order mark) through a temporary file.
bool exportList(const QList<FileItem>& items, const QString& path);
// "Export dd-MMM-yyyy hh-mm-ss a.txt" for `when`.
QString exportFileName(const QDateTime& when);

} // namespace veltrane
