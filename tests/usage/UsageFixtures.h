#pragma once

#include "support/PdfTools.h"
#include "usage/UsagesReporting.h"

#include <ctime>
#include <gtest/gtest.h>
#include <ostream>
#include <QTemporaryDir>

inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace veltrane::test {

// Central European time for the whole test program, so that dates have a known offset
// (+01:00, +02:00 in summer) whatever zone the machine is in.
inline const bool centralEuropeanTime = [] {
    qputenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3");
    tzset();
    return true;
}();

// A usage file in a folder of its own, and a clock the test sets.
struct UsageFolder
{
    QTemporaryDir dir;
    QDateTime clock =
        QDateTime::fromString(QStringLiteral("2026-03-04T05:06:07.089+01:00"), Qt::ISODateWithMs);

    QString path() const { return dir.filePath(QStringLiteral("Usages.Log")); }
    UsagesSettings settings()
    {
        UsagesSettings s;
        s.filePath = path();
        s.now = [this] { return clock; };
        return s;
    }
    QByteArray read() const { return fileBytes(path()); }
    void write(const QByteArray& bytes) const { writeFile(path(), bytes); }
};

} // namespace veltrane::test
