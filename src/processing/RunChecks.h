#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace veltrane {

class Numbering;

// Checks of a stamp job before a run, for the window to ask about and the command to refuse:
// the run itself would go on, and the files would come out without the stamps concerned.

// A switched-on text stamp whose font names no installed font (nor an alias of one): the run
// leaves it out of every page.
struct MissingFont
{
    qsizetype stampIndex = 0; // 0-based, in the job's list
    QString stamp;            // the stamp's description, as the stamps table shows it
    QString font;             // the family name it asks for
};
QList<MissingFont> stampsWithMissingFonts(const Numbering& job);
// "Stamp 2 "Numbers [{0}]" asks for the font "Foo", which is not installed."
QString missingFontMessage(const MissingFont& missing);

// Margins and turns that no page can be stamped with: not finite, or beyond
// kMaxStampCoordinate (margins in points or percent, turns in degrees). One message each, naming
// the field and its value; empty when the job is sound. Such stamps would not be drawn.
QStringList jobRangeProblems(const Numbering& job);

} // namespace veltrane
