#include "app/SingleInstance.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QUrl>

namespace veltrane {
namespace {

constexpr int kHandOverTimeoutMs = 2000;
// A launch names at most this many bytes of files; anything longer is not from us.
constexpr qint64 kMaxMessage = 1 << 20;
const char kBusName[] = "org.orlavex.Veltrane";
const char kObjectPath[] = "/org/orlavex/Veltrane";

} // namespace

ApplicationAdaptor::ApplicationAdaptor(QObject* parent,
                                       std::function<void(const QStringList&)> received)
    : QDBusAbstractAdaptor(parent), m_received(std::move(received))
{}

void ApplicationAdaptor::Activate(const QVariantMap&)
{
    m_received({});
}

void ApplicationAdaptor::Open(const QStringList& uris, const QVariantMap&)
{
    QStringList files;
    for (const QString& uri : uris) {
        const QUrl url(uri);
        if (url.isLocalFile()) {
            files.append(url.toLocalFile());
        }
    }
    m_received(files);
}

void ApplicationAdaptor::ActivateAction(const QString&, const QVariantList&, const QVariantMap&)
{
    m_received({});
}

SingleInstance::SingleInstance(QObject* parent) : QObject(parent) {}

SingleInstance::~SingleInstance()
{
    if (m_ownsBusName) {
        QDBusConnection::sessionBus().unregisterObject(QLatin1String(kObjectPath));
        QDBusConnection::sessionBus().unregisterService(QLatin1String(kBusName));
    }
}

bool SingleInstance::handOverOnBus(const QStringList& files)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!m_useBus || !bus.isConnected() || !bus.interface() ||
        !bus.interface()->isServiceRegistered(QLatin1String(kBusName)).value()) {
        return false;
    }
    QStringList uris;
    for (const QString& file : files) {
        uris.append(QUrl::fromLocalFile(file).toString());
    }
    const QString interface = QStringLiteral("org.freedesktop.Application");
    QDBusMessage call =
        files.isEmpty()
            ? QDBusMessage::createMethodCall(QLatin1String(kBusName), QLatin1String(kObjectPath),
                                             interface, QStringLiteral("Activate"))
            : QDBusMessage::createMethodCall(QLatin1String(kBusName), QLatin1String(kObjectPath),
                                             interface, QStringLiteral("Open"));
    if (!files.isEmpty()) {
        call << uris;
    }
    call << QVariantMap();
    return bus.call(call, QDBus::Block, kHandOverTimeoutMs).type() == QDBusMessage::ReplyMessage;
}

void SingleInstance::listenOnBus()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!m_useBus || !bus.isConnected()) {
        return;
    }
    new ApplicationAdaptor(this, [this](const QStringList& files) { m_received(files); });
    if (bus.registerObject(QLatin1String(kObjectPath), this) &&
        bus.registerService(QLatin1String(kBusName))) {
        m_ownsBusName = true;
    }
}

QString SingleInstance::socketPath()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty()) {
        return {};
    }
    return QDir(runtime).filePath(QStringLiteral("org.orlavex.Veltrane.socket"));
}

bool SingleInstance::handOver(const QStringList& files)
{
    if (handOverOnBus(files)) {
        return true;
    }
    const QString path = socketPath();
    if (path.isEmpty()) {
        return false;
    }
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(kHandOverTimeoutMs)) {
        return false;
    }
    QByteArray message;
    for (const QString& file : files) {
        message += file.toUtf8() + '\n';
    }
    message += '\n';
    socket.write(message);
    if (!socket.waitForBytesWritten(kHandOverTimeoutMs)) {
        return false;
    }
    socket.disconnectFromServer();
    return true;
}

void SingleInstance::listen(std::function<void(const QStringList&)> received)
{
    m_received = std::move(received);
    listenOnBus();
    const QString path = socketPath();
    if (path.isEmpty()) {
        return;
    }
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // A socket left by a program that crashed is nobody's.
    QLocalServer::removeServer(path);
    if (!m_server->listen(path)) {
        return;
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (socket->bytesAvailable() > kMaxMessage) {
                    socket->abort();
                    return;
                }
                const QByteArray data = socket->peek(socket->bytesAvailable());
                if (!data.endsWith("\n\n") && data != "\n") {
                    return;
                }
                socket->readAll();
                QStringList files;
                for (const QByteArray& line : data.split('\n')) {
                    if (!line.isEmpty()) {
                        files.append(QString::fromUtf8(line));
                    }
                }
                m_received(files);
            });
        }
    });
}

} // namespace veltrane
