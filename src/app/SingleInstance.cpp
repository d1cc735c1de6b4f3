#include "app/SingleInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace veltrane {
namespace {

constexpr int kHandOverTimeoutMs = 2000;
// A launch names at most this many bytes of files; anything longer is not from us.
constexpr qint64 kMaxMessage = 1 << 20;

} // namespace

SingleInstance::SingleInstance(QObject* parent) : QObject(parent) {}

SingleInstance::~SingleInstance() = default;

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
    const QString path = socketPath();
    if (path.isEmpty()) {
        return;
    }
    m_received = std::move(received);
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
