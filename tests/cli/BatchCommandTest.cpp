#include "support/PdfTools.h"
#include "support/TiffTools.h"

#include <csignal>
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

namespace {

struct Result
{
    int exitCode = -1;
    QStringList out;
    QString err;
};

// Runs the real command with preferences and data in a folder of the test's own.
class BatchCommandTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QDir().mkpath(path(QStringLiteral("in/sub")));
        QDir().mkpath(path(QStringLiteral("out")));
        veltrane::test::writeBodyPdf(path(QStringLiteral("in/a.pdf")), 3, QSizeF(300, 300));
        veltrane::test::writeBodyPdf(path(QStringLiteral("in/b.PDF")), 2, QSizeF(300, 300));
        veltrane::test::writeBodyPdf(path(QStringLiteral("in/sub/c.pdf")), 1, QSizeF(300, 300));
        veltrane::test::writeBodyPdf(path(QStringLiteral("in/.hidden.pdf")), 1, QSizeF(300, 300));
        veltrane::test::writeBodyPdf(path(QStringLiteral("in/odd.Pdf")), 1, QSizeF(300, 300));
    }

    QString path(const QString& name) const { return m_home.filePath(name); }

    Result run(const QStringList& arguments)
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), path(QStringLiteral("share")));
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(VELTRANE_BATCH), arguments);
        process.waitForFinished(120000);
        Result result;
        result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.out = QString::fromUtf8(process.readAllStandardOutput())
                         .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        result.err = QString::fromUtf8(process.readAllStandardError());
        return result;
    }

    QTemporaryDir m_home;
};

} // namespace

TEST_F(BatchCommandTest, StampsFilesAndFoldersAndReportsEachFile)
{
    const Result r = run({QStringLiteral("--text"), QStringLiteral("<{0}/{1}>"),
                          QStringLiteral("-o"), path(QStringLiteral("out")), QStringLiteral("-r"),
                          QStringLiteral("-q"), QStringLiteral("--continuous"),
                          path(QStringLiteral("in")), path(QStringLiteral("in/a.pdf"))});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    ASSERT_EQ(r.out.size(), 6) << r.out.join(QLatin1Char('\n')).toStdString();
    // Folder walk: by name, exact-case extensions only, hidden entries skipped, subfolders with
    // -r; the file named again afterwards is a duplicate.
    EXPECT_EQ(r.out[0], QStringLiteral("Completed\t3\t") + path(QStringLiteral("out/a.pdf")));
    EXPECT_EQ(r.out[1], QStringLiteral("Completed\t2\t") + path(QStringLiteral("out/b.PDF")));
    EXPECT_EQ(r.out[2], QStringLiteral("Completed\t1\t") + path(QStringLiteral("out/c.pdf")));
    EXPECT_EQ(r.out[3], QStringLiteral("All files processed successfully."));
    EXPECT_TRUE(r.out[4].startsWith(QStringLiteral("Total Time Taken : ")));
    EXPECT_TRUE(r.out[4].endsWith(QStringLiteral(" 3/3")));
    EXPECT_TRUE(r.out[5].startsWith(QStringLiteral("Log: ") +
                                    path(QStringLiteral("share/Orlavex/Veltrane2/Logs/"))));
    EXPECT_TRUE(QFile::exists(r.out[5].mid(5)));
    EXPECT_TRUE(veltrane::test::pageText(path(QStringLiteral("out/c.pdf")), 1)
                    .contains(QStringLiteral("<6/6>")));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("out/.hidden.pdf"))));
}

TEST_F(BatchCommandTest, RefusesWhatCannotRun)
{
    const QString pdf = path(QStringLiteral("in/a.pdf"));
    EXPECT_EQ(run({}).exitCode, 2);
    EXPECT_EQ(run({QStringLiteral("--bogus"), pdf}).exitCode, 2);
    EXPECT_EQ(
        run({QStringLiteral("-o"), path(QStringLiteral("out")), path(QStringLiteral("notes.txt"))})
            .exitCode,
        2);

    Result r = run({pdf});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Please select output folder!")));
    r = run({QStringLiteral("-o"), path(QStringLiteral("nowhere")), pdf});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("is missing!")));
    r = run({QStringLiteral("-o"), path(QStringLiteral("in")), pdf});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains(
        QStringLiteral("Output folder location matched with few of your selected source files!")));
    r = run({QStringLiteral("-o"), path(QStringLiteral("out")), QStringLiteral("-p"),
             path(QStringLiteral("none.vtprofile")), pdf});
    EXPECT_EQ(r.exitCode, 2);
    // Two inputs that would write the same output.
    QFile::copy(pdf, path(QStringLiteral("in/sub/a.pdf")));
    r = run({QStringLiteral("-o"), path(QStringLiteral("out")), pdf,
             path(QStringLiteral("in/sub/a.pdf"))});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("a.pdf")));
    EXPECT_TRUE(QDir(path(QStringLiteral("out"))).isEmpty());
}

TEST_F(BatchCommandTest, InPlaceWithOverwriteAndBackupAndFailuresExitOne)
{
    const QString pdf = path(QStringLiteral("in/a.pdf"));
    const QByteArray original = veltrane::test::fileBytes(pdf);
    Result r = run({QStringLiteral("--text"), QStringLiteral("X{0}"), QStringLiteral("-o"),
                    path(QStringLiteral("in")), QStringLiteral("--overwrite"),
                    QStringLiteral("--backup"), pdf});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(veltrane::test::fileBytes(pdf + QStringLiteral(".bak")), original);

    QFile junk(path(QStringLiteral("in/junk.pdf")));
    junk.open(QIODevice::WriteOnly);
    junk.write("not a pdf");
    junk.close();
    r = run({QStringLiteral("-o"), path(QStringLiteral("out")), path(QStringLiteral("in/junk.pdf")),
             path(QStringLiteral("in/b.PDF"))});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out.value(0),
              QStringLiteral("No Pages\t0\t") + path(QStringLiteral("out/junk.pdf")));
    EXPECT_EQ(r.out.value(2), QStringLiteral("Total 1 files processed successfully."));
}

TEST_F(BatchCommandTest, AFullDiskFailsTheFileAndLeavesNothingBehind)
{
    const QString pdf = path(QStringLiteral("in/a.pdf"));
    const QByteArray original = veltrane::test::fileBytes(pdf);
    const QString tiff = path(QStringLiteral("in/scan.tif"));
    veltrane::test::writeTiff(tiff, QList<QImage>(2, QImage(200, 200, QImage::Format_RGB32)), true);
    // A file-size limit of 1 KiB makes every output write fail part way.
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), path(QStringLiteral("share")));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral("/bin/sh"),
                  {QStringLiteral("-c"), QStringLiteral("ulimit -f 2; exec \"$0\" \"$@\""),
                   QStringLiteral(VELTRANE_BATCH), QStringLiteral("--text"), QStringLiteral("{0}"),
                   QStringLiteral("-o"), path(QStringLiteral("out")), pdf, tiff});
    process.waitForFinished(120000);
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 1);
    const QStringList out =
        QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'));
    EXPECT_EQ(out.value(0), QStringLiteral("Failed\t3\t") + path(QStringLiteral("out/a.pdf")));
    EXPECT_EQ(out.value(1), QStringLiteral("Failed\t2\t") + path(QStringLiteral("out/scan.tif")));
    EXPECT_EQ(out.value(2), QStringLiteral("Total 0 files processed successfully."));
    EXPECT_TRUE(QDir(path(QStringLiteral("out"))).entryList(QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_EQ(veltrane::test::fileBytes(pdf), original);
}

TEST_F(BatchCommandTest, InterruptCancelsBetweenFiles)
{
    QDir().mkpath(path(QStringLiteral("many")));
    for (int i = 0; i < 60; ++i) {
        veltrane::test::writeBodyPdf(
            path(QStringLiteral("many/f%1.pdf").arg(i, 2, 10, QLatin1Char('0'))), 3);
    }
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), path(QStringLiteral("share")));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(VELTRANE_BATCH),
                  {QStringLiteral("-j"), QStringLiteral("1"), QStringLiteral("--text"),
                   QStringLiteral("{0}"), QStringLiteral("-o"), path(QStringLiteral("out")),
                   path(QStringLiteral("many"))});
    ASSERT_TRUE(process.waitForStarted());
    // Interrupt once the first output is there.
    for (int i = 0; i < 600 && QDir(path(QStringLiteral("out"))).entryList(QDir::Files).isEmpty();
         ++i) {
        QThread::msleep(10);
    }
    ::kill(pid_t(process.processId()), SIGINT);
    process.waitForFinished(120000);
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 1);
    const QStringList out = QString::fromUtf8(process.readAllStandardOutput())
                                .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_GE(out.size(), 4);
    EXPECT_LT(out.size(), 60 + 3);
    EXPECT_EQ(out[out.size() - 3], QStringLiteral("Process cancelled!"));
    // Every file that was reached is complete; nothing half-written is left.
    const QStringList written =
        QDir(path(QStringLiteral("out"))).entryList(QDir::Files | QDir::Hidden);
    EXPECT_EQ(written.size(), out.size() - 3);
    for (const QString& name : written) {
        EXPECT_EQ(veltrane::test::pdfFacts(path(QStringLiteral("out/") + name)).pages, 3)
            << name.toStdString();
    }
}

TEST_F(BatchCommandTest, PreviewWritesTheSampleOrTheLivePage)
{
    const QString sample = path(QStringLiteral("sample.png"));
    Result r = run({QStringLiteral("--text"), QStringLiteral("{0} of {1}"),
                    QStringLiteral("--preview"), sample});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(QImage(sample).size(), QSize(595, 842));
    const QString live = path(QStringLiteral("live.png"));
    r = run({QStringLiteral("--text"), QStringLiteral("{0} of {1}"), QStringLiteral("--page"),
             QStringLiteral("2"), QStringLiteral("--preview"), live,
             path(QStringLiteral("in/a.pdf"))});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(QImage(live).size(), QSize(300, 300));
    EXPECT_EQ(
        run({QStringLiteral("--page"), QStringLiteral("0"), QStringLiteral("--preview"), live})
            .exitCode,
        2);
}
