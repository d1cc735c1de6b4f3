#pragma once

#include <chrono>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

namespace veltrane {

// Posts one file as the field "file" of a multipart form, with the header
// "UPLOAD_ID: wmv71d805926". Asynchronous: exactly one of finished() or failed() follows each
// start(), on the thread that owns this object, unless another start() abandons the upload
// first (an abandoned upload signals nothing).
class ReportUpload : public QObject
{
    Q_OBJECT

public:
    explicit ReportUpload(QObject* parent = nullptr);
    ~ReportUpload() override;

    // Starts posting `filePath` to `url`; an upload still running is abandoned. An upload
    // during which nothing moves for `timeout` fails (0: never). Throws std::runtime_error naming
    // the file when it cannot be opened.
    void start(const QUrl& url, const QString& filePath, std::chrono::milliseconds timeout);
    bool isRunning() const { return !m_reply.isNull(); }

signals:
    // The server answered with a success status; `body` is its answer as UTF-8 text.
    void finished(const QString& body);
    // No answer, a refused connection, a timeout or an error status; `reason` says which.
    void failed(const QString& reason);

private:
    void abandon();
    void replyFinished(QNetworkReply* reply);

    QNetworkAccessManager* m_network = nullptr; // child, made on first use
    QPointer<QNetworkReply> m_reply;
    std::chrono::milliseconds m_timeout{0};
};

} // namespace veltrane
