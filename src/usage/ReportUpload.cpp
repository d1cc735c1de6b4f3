#include "usage/ReportUpload.h"

#include <memory>
#include <QFile>
#include <QFileInfo>
#include <QHttpMultiPart>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <stdexcept>

namespace veltrane {

ReportUpload::ReportUpload(QObject* parent) : QObject(parent) {}

ReportUpload::~ReportUpload()
{
    abandon();
}

void ReportUpload::abandon()
{
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply->deleteLater();
        m_reply.clear();
    }
}

void ReportUpload::start(const QUrl& url, const QString& filePath,
                         std::chrono::milliseconds timeout)
{
    auto file = std::make_unique<QFile>(filePath);
    if (!file->open(QIODevice::ReadOnly)) {
        throw std::runtime_error(
            QStringLiteral("cannot read %1: %2").arg(filePath, file->errorString()).toStdString());
    }
    abandon();
    if (!m_network) {
        m_network = new QNetworkAccessManager(this);
    }

    QHttpPart part;
    part.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/xml"));
    part.setHeader(QNetworkRequest::ContentDispositionHeader,
                   QStringLiteral("form-data; name=\"file\"; filename=\"%1\"")
                       .arg(QFileInfo(filePath).fileName()));
    part.setBodyDevice(file.get());
    auto form = std::make_unique<QHttpMultiPart>(QHttpMultiPart::FormDataType);
    file.release()->setParent(form.get()); // streamed while the request is sent
    form->append(part);

    QNetworkRequest request(url);
    request.setRawHeader("UPLOAD_ID", "wmv71d805926");
    request.setTransferTimeout(static_cast<int>(timeout.count()));
    m_timeout = timeout;
    QNetworkReply* reply = m_network->post(request, form.get());
    form.release()->setParent(reply);
    m_reply = reply;
    connect(reply, &QNetworkReply::finished, this, [this, reply] { replyFinished(reply); });
}

void ReportUpload::replyFinished(QNetworkReply* reply)
{
    reply->deleteLater();
    if (reply != m_reply) {
        return;
    }
    m_reply.clear();
    switch (reply->error()) {
    case QNetworkReply::NoError:
        emit finished(QString::fromUtf8(reply->readAll()));
        break;
    case QNetworkReply::OperationCanceledError:
    case QNetworkReply::TimeoutError:
        // Abandoned uploads are disconnected first, so a cancel here is the transfer timeout.
        emit failed(QStringLiteral("no answer from %1 within %2 ms")
                        .arg(reply->url().toString(QUrl::RemoveQuery))
                        .arg(m_timeout.count()));
        break;
    default:
        emit failed(reply->errorString());
        break;
    }
}

} // namespace veltrane
