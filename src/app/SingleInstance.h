#pragma once

#include <functional>
#include <QObject>
#include <QStringList>

class QLocalServer;

namespace veltrane {

// One running program per user session: a second launch hands its files to the first over a
// local socket in $XDG_RUNTIME_DIR and ends. Without a runtime folder every launch simply runs.
// Main thread.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    explicit SingleInstance(QObject* parent = nullptr);
    ~SingleInstance() override;

    // The socket's path; "" when there is no private runtime folder.
    static QString socketPath();
    // True when a running program took `files` (absolute paths; none means "come to the
    // front"): this launch should end.
    bool handOver(const QStringList& files);
    // Listens for later launches; `received` gets each launch's files.
    void listen(std::function<void(const QStringList&)> received);

private:
    QLocalServer* m_server = nullptr;
    std::function<void(const QStringList&)> m_received;
};

} // namespace veltrane
