#pragma once

#include <chrono>
#include <functional>
#include <QDateTime>
#include <QString>
#include <QUrl>

namespace veltrane {

// Where the usage record lives and where reports and reviews go. The defaults are the
// program's; tests and other builds replace them.
struct UsagesSettings
{
    // The usage file; "" is "Usages.Log" in the application data folder.
    QString filePath;
    // Reports are posted here, with the query item "f" added.
    QUrl uploadEndpoint{QStringLiteral("https://veltrane.example.org/usage/upload")};
    // The review address until the application sets its own (reviewPage).
    QString homePage = QStringLiteral("https://veltrane.example.org/");
    QString reviewPage = QStringLiteral("https://veltrane.example.org/review");
    // An upload during which nothing moves for this long fails, so a silent server cannot hold
    // it forever.
    std::chrono::milliseconds uploadTimeout{30000};
    // The clock for every "now" the record stores; empty is the system clock.
    std::function<QDateTime()> now;
};

} // namespace veltrane
