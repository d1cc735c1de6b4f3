#pragma once

#include <functional>
#include <QDBusAbstractAdaptor>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

class QLocalServer;

namespace veltrane {

// The desktop's way to hand files to a running program (org.freedesktop.Application).
class ApplicationAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")
public:
    ApplicationAdaptor(QObject* parent, std::function<void(const QStringList&)> received);

public slots:
    void Activate(const QVariantMap& platformData);
    void Open(const QStringList& uris, const QVariantMap& platformData);
    void ActivateAction(const QString& name, const QVariantList& parameter,
                        const QVariantMap& platformData);

private:
    std::function<void(const QStringList&)> m_received;
};

// One running program per user session: a second launch hands its files to the first and
// ends, over the session bus (the name org.orlavex.Veltrane, the org.freedesktop.Application
// interface), or without a bus over a local socket in $XDG_RUNTIME_DIR. Without either every
// launch simply runs. Main thread.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    explicit SingleInstance(QObject* parent = nullptr);
    ~SingleInstance() override;

    // Whether the session bus is tried first (it is unless turned off).
    void setUseSessionBus(bool use) { m_useBus = use; }

    // The socket's path; "" when there is no private runtime folder.
    static QString socketPath();
    // True when a running program took `files` (absolute paths; none means "come to the
    // front"): this launch should end.
    bool handOver(const QStringList& files);
    // Listens for later launches; `received` gets each launch's files.
    void listen(std::function<void(const QStringList&)> received);

private:
    bool handOverOnBus(const QStringList& files);
    void listenOnBus();

    QLocalServer* m_server = nullptr;
    bool m_useBus = true;
    bool m_ownsBusName = false;
    std::function<void(const QStringList&)> m_received;
};

} // namespace veltrane
