#include "support/LogCapture.h"
#include "usage/UsagesReporting.h"
#include "UsageFixtures.h"

#include <gtest/gtest.h>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

using namespace Qt::StringLiterals;

using namespace veltrane;
using namespace std::chrono_literals;

namespace {

// An HTTP server on 127.0.0.1 that takes one whole form post, then writes `response` and closes
// (an empty response: closes without a word), or with `hang` keeps silent.
class OneRequestServer
{
public:
    explicit OneRequestServer(const QByteArray& response, bool hang = false)
    {
        tcp.listen(QHostAddress::LocalHost);
        QObject::connect(&tcp, &QTcpServer::newConnection, [=, this] {
            QTcpSocket* socket = tcp.nextPendingConnection();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [=, this] {
                m_received += socket->readAll();
                const qsizetype end = m_received.indexOf("\r\n\r\n");
                if (end < 0 || !m_received.endsWith("--\r\n")) { // the form's last boundary
                    return;
                }
                head = m_received.left(end);
                body = m_received.mid(end + 4);
                if (!hang) {
                    socket->write(response);
                    socket->disconnectFromHost();
                }
            });
        });
    }

    QByteArray head;
    QByteArray body;
    QTcpServer tcp;

private:
    QByteArray m_received;
};

// A usage record that posts to `port` with `timeout`.
struct Upload
{
    explicit Upload(quint16 port, std::chrono::milliseconds timeout = 10s)
        : record(settings(port, timeout))
    {}
    UsagesSettings settings(quint16 port, std::chrono::milliseconds timeout)
    {
        UsagesSettings s = folder.settings();
        s.uploadEndpoint = QUrl(u"http://127.0.0.1:%1/usage/upload"_s.arg(port));
        s.uploadTimeout = timeout;
        return s;
    }

    test::UsageFolder folder;
    UsagesReporting record;
    QSignalSpy outcome{&record, &UsagesReporting::reportOutcome};
    const QVariantList failed{false, QString(kReportFailed)};
};

} // namespace

TEST(ReportUpload, PostsTheFileAsFormFieldFileWithTheUploadHeaderAndTheTime)
{
    OneRequestServer server("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nOK");
    Upload upload(server.tcp.serverPort());
    const QByteArray file = upload.folder.read();
    ASSERT_TRUE(upload.record.submitReport());
    EXPECT_TRUE(upload.outcome.isEmpty()); // nothing is known yet
    upload.folder.clock = upload.folder.clock.addSecs(60);
    ASSERT_TRUE(upload.outcome.wait(10000));

    EXPECT_EQ(upload.outcome[0], QVariantList({true, QString(kReportSucceeded)}));
    EXPECT_TRUE(server.head.startsWith("POST /usage/upload?f=1772597167.089000 HTTP/1.1\r\n"));
    EXPECT_TRUE(server.head.contains("\r\nUPLOAD_ID: wmv71d805926\r\n"));
    const QByteArray boundary =
        QRegularExpression(u"Content-Type: multipart/form-data; boundary=\"(.+)\""_s)
            .match(QString::fromLatin1(server.head))
            .captured(1)
            .toLatin1();
    ASSERT_FALSE(boundary.isEmpty());
    EXPECT_EQ(server.body,
              "--" + boundary +
                  "\r\nContent-Type: application/xml\r\nContent-Disposition: form-data; "
                  "name=\"file\"; filename=\"Usages.Log\"\r\n\r\n" +
                  file + "\r\n--" + boundary + "--\r\n");
    EXPECT_EQ(UsagesReporting(upload.folder.settings()).record().lastReportSentOn,
              upload.folder.clock);
}

TEST(ReportUpload, OnlyAnExactOKAnswerIsSuccessAndNoFileIsAFailureAtOnce)
{
    Upload upload(9);
    const QDateTime sent = upload.record.record().lastReportSentOn;
    upload.folder.clock = upload.folder.clock.addSecs(1);
    test::LogCapture log;
    for (const char* body : {"OK<br>", "OK&nbsp;", "ok", ""}) {
        EXPECT_FALSE(upload.record.postFinished(QString::fromUtf8(body))) << body;
    }
    EXPECT_EQ(log.lines()[0], u"Error in submitReport : the server answered \"OK\n\""_s);
    EXPECT_EQ(upload.outcome[0], upload.failed);
    EXPECT_EQ(upload.record.record().lastReportSentOn, sent);
    EXPECT_TRUE(upload.record.postFinished(u"OK"_s));
    EXPECT_EQ(upload.record.record().lastReportSentOn, upload.folder.clock);

    QFile::remove(upload.folder.path());
    upload.outcome.clear();
    EXPECT_FALSE(upload.record.submitReport());
    EXPECT_EQ(upload.outcome, QList<QVariantList>({upload.failed}));
}

struct ServerFault
{
    const char* name;
    QByteArray response;
    bool hang;
    const char* reason; // what the log line holds
    friend void PrintTo(const ServerFault& fault, std::ostream* os) { *os << fault.name; }
};

class FailingServer : public ::testing::TestWithParam<ServerFault>
{};

TEST_P(FailingServer, ReportsFailureOnceAndKeepsTheLastReportDate)
{
    OneRequestServer server(GetParam().response, GetParam().hang);
    Upload upload(server.tcp.serverPort(), 300ms);
    const QByteArray file = upload.folder.read();
    test::LogCapture log;
    ASSERT_TRUE(upload.record.submitReport());
    ASSERT_TRUE(upload.outcome.wait(5000));
    QTest::qWait(400); // and nothing after it

    EXPECT_EQ(upload.outcome, QList<QVariantList>({upload.failed}));
    EXPECT_EQ(upload.folder.read(), file);
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_TRUE(log.lines()[0].startsWith(u"Error in submitReport : "_s));
    EXPECT_TRUE(log.lines()[0].contains(QString::fromUtf8(GetParam().reason)))
        << log.lines()[0].toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Upload, FailingServer,
    ::testing::Values(
        ServerFault{"Answers500",
                    "HTTP/1.1 500 Internal Server Error\r\nContent-Length: 2\r\n\r\nOK", false,
                    "server replied: Internal Server Error"},
        ServerFault{"ClosesWithoutAnswer", QByteArray(), false, "closed"},
        ServerFault{"Hangs", QByteArray(), true, "/usage/upload within 300 ms"}),
    [](const auto& info) { return std::string(info.param.name); });
