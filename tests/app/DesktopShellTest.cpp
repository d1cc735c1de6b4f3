// The desktop's services, faked on the tests' own session bus: the file manager and the
// notification service get their calls, and without a file manager the folder is opened.
#include "platform/DesktopShell.h"

#include <gtest/gtest.h>
#include <QDBusConnection>
#include <QDesktopServices>
#include <QTest>
#include <QVariantMap>

using namespace Qt::StringLiterals;

namespace veltrane::test {

class FakeFileManager : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    QStringList calls;
public slots:
    void ShowItems(const QStringList& uris, const QString&)
    {
        calls << u"ShowItems "_s + uris.join(QLatin1Char(' '));
    }
    void ShowItemProperties(const QStringList& uris, const QString&)
    {
        calls << u"ShowItemProperties "_s + uris.join(QLatin1Char(' '));
    }
};

class FakeNotifications : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QStringList calls;
public slots:
    uint Notify(const QString& app, uint, const QString& icon, const QString& summary,
                const QString& body, const QStringList&, const QVariantMap& hints, int)
    {
        calls << QStringList{app, icon, summary, body, hints.value(u"desktop-entry"_s).toString()}
                     .join(QLatin1Char('|'));
        return 1;
    }
};

// Catches what would be opened with the desktop's default application.
class OpenedUrls : public QObject
{
    Q_OBJECT
public:
    QStringList urls;
public slots:
    void open(const QUrl& url) { urls << url.toString(); }
};

namespace {

struct Service
{
    QObject* object;
    const char* name;
    const char* path;
};

bool publish(const Service& service)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.registerObject(QLatin1String(service.path), service.object,
                              QDBusConnection::ExportAllSlots) &&
           bus.registerService(QLatin1String(service.name));
}

void withdraw(const Service& service)
{
    QDBusConnection::sessionBus().unregisterObject(QLatin1String(service.path));
    QDBusConnection::sessionBus().unregisterService(QLatin1String(service.name));
}

TEST(DesktopShellTest, FileManagerNotificationsAndTheFolderFallback)
{
    ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "no private session bus";
    OpenedUrls opened;
    QDesktopServices::setUrlHandler(u"file"_s, &opened, "open");
    const QStringList files = {u"/data/in/a.pdf"_s, u"/data/in/b.pdf"_s, u"/data/other/c.tif"_s};

    // No file manager: each folder is opened once.
    showItemsInFileManager(files);
    QTRY_COMPARE(opened.urls, (QStringList{u"file:///data/in"_s, u"file:///data/other"_s}));
    EXPECT_FALSE(notifyDesktop(u"Stamping finished"_s, u"body"_s));

    FakeFileManager manager;
    FakeNotifications notifications;
    const Service services[] = {
        {&manager, "org.freedesktop.FileManager1", "/org/freedesktop/FileManager1"},
        {&notifications, "org.freedesktop.Notifications", "/org/freedesktop/Notifications"}};
    for (const Service& service : services) {
        ASSERT_TRUE(publish(service)) << service.name;
    }
    opened.urls.clear();
    showItemsInFileManager(files.mid(0, 2));
    showItemPropertiesInFileManager(files.mid(2));
    EXPECT_TRUE(notifyDesktop(u"Stamping finished"_s, u"3 of 4 files stamped, 1 failed."_s));
    QTRY_COMPARE(manager.calls.size(), 2);
    EXPECT_EQ(manager.calls,
              (QStringList{u"ShowItems file:///data/in/a.pdf file:///data/in/b.pdf"_s,
                           u"ShowItemProperties file:///data/other/c.tif"_s}));
    QTRY_COMPARE(notifications.calls.size(), 1);
    EXPECT_EQ(notifications.calls.first(),
              QStringLiteral("Veltrane|org.orlavex.Veltrane|Stamping finished|3 of 4 files "
                             "stamped, 1 failed.|org.orlavex.Veltrane"));
    EXPECT_TRUE(opened.urls.isEmpty());
    for (const Service& service : services) {
        withdraw(service);
    }
    QDesktopServices::unsetUrlHandler(u"file"_s);
}

} // namespace
} // namespace veltrane::test

#include "DesktopShellTest.moc"
