#include "support/BatchRunner.h"
#include "support/PdfTools.h"
#include "support/TiffTools.h"

#include <csignal>
#include <gtest/gtest.h>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <sys/stat.h>
#include <unistd.h>

using veltrane::test::BatchRun;

namespace {

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

    // Arguments starting with "@/" name files of the test's folder.
    BatchRun run(QStringList arguments, const QString& shell = {})
    {
        for (QString& argument : arguments) {
            if (argument.startsWith(QLatin1String("@/"))) {
                argument = path(argument.mid(2));
            }
        }
        return veltrane::test::runBatch(arguments, m_home.path(), shell);
    }

    void write(const QString& name, const QByteArray& bytes)
    {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    // Every file of the inputs, the output folder and the test's folder, with a digest of its
    // bytes.
    QStringList files() const
    {
        QStringList found;
        for (const QString& folder :
             {QStringLiteral("in"), QStringLiteral("in/sub"), QStringLiteral("out"), QString()}) {
            const QDir dir(path(folder));
            for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden)) {
                found << folder + QLatin1Char('/') + name + QLatin1Char(' ') +
                             QString::fromLatin1(QCryptographicHash::hash(
                                                     veltrane::test::fileBytes(dir.filePath(name)),
                                                     QCryptographicHash::Sha256)
                                                     .toHex());
            }
        }
        return found;
    }

    QTemporaryDir m_home;
};

} // namespace

TEST_F(BatchCommandTest, StampsFilesAndFoldersAndReportsEachFile)
{
    const BatchRun r =
        run({QStringLiteral("--text"), QStringLiteral("<{0}/{1}>"), QStringLiteral("-o"),
             QStringLiteral("@/out"), QStringLiteral("-r"), QStringLiteral("-q"),
             QStringLiteral("--continuous"), QStringLiteral("@/in"), QStringLiteral("@/in/a.pdf")});
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

TEST_F(BatchCommandTest, RefusedBeforeAnythingIsWritten)
{
    ASSERT_EQ(::symlink(QFile::encodeName(path(QStringLiteral("in"))).constData(),
                        QFile::encodeName(path(QStringLiteral("link"))).constData()),
              0);
    QDir().mkpath(path(QStringLiteral("empty")));
    QDir().mkpath(path(QStringLiteral("notes")));
    write(QStringLiteral("notes/readme.txt"), "nothing to stamp");
    QFile::copy(path(QStringLiteral("in/a.pdf")), path(QStringLiteral("in/sub/a.pdf")));
    auto profile = [&](const QString& name, const QByteArray& job) {
        write(name, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>" +
                        job + "</dict></plist>");
    };
    const QByteArray stamp = "<key>Stamps</key><array><dict><key>numberFormat</key>"
                             "<string>{0}</string><key>isSelected</key><true/>";
    profile(QStringLiteral("margin.vtprofile"), "<key>marginLeft</key><real>1e19</real>" + stamp +
                                                    "<key>font</key><dict/></dict></array>");
    profile(QStringLiteral("font.vtprofile"),
            stamp + "<key>font</key><dict><key>fontName</key><string>No Such Family 7</string>"
                    "</dict></dict></array>");
    profile(QStringLiteral("turn.vtprofile"),
            stamp + "<key>font</key><dict/><key>textRotation</key><integer>50000000</integer>"
                    "</dict></array>");
    const QString pdf = QStringLiteral("@/in/a.pdf");
    const QString out = QStringLiteral("@/out");
    const QString sameFolder = QStringLiteral("Output folder location matched with few of your "
                                              "selected source files!");
    const QString margin = QStringLiteral("--margin takes a length in points from 0 to 10000000");
    const struct
    {
        const char* name;
        QStringList arguments;
        QString says; // on standard error
    } rows[] = {
        {"no input", {}, QStringLiteral("no input")},
        {"unknown option", {QStringLiteral("--bogus"), pdf}, QStringLiteral("'bogus'")},
        {"not an accepted file",
         {QStringLiteral("-o"), out, QStringLiteral("@/notes/readme.txt")},
         QStringLiteral("not a PDF, TIFF, BMP, JPEG, PNG or GIF file")},
        {"no output folder", {pdf}, QStringLiteral("Please select output folder!")},
        {"missing output folder",
         {QStringLiteral("-o"), QStringLiteral("@/nowhere"), pdf},
         QStringLiteral("is missing!")},
        {"output folder is the source folder",
         {QStringLiteral("-o"), QStringLiteral("@/in"), pdf},
         sameFolder},
        {"the same with a trailing slash",
         {QStringLiteral("-o"), QStringLiteral("@/in/"), QStringLiteral("@/in")},
         sameFolder},
        {"the same through a link",
         {QStringLiteral("-o"), QStringLiteral("@/link"), pdf},
         sameFolder},
        {"an input through a link",
         {QStringLiteral("-o"), QStringLiteral("@/in"), QStringLiteral("@/link/b.PDF")},
         sameFolder},
        {"missing profile",
         {QStringLiteral("-o"), out, QStringLiteral("-p"), QStringLiteral("@/none.vtprofile"), pdf},
         QStringLiteral("cannot read the profile")},
        {"two inputs of one name",
         {QStringLiteral("-o"), out, pdf, QStringLiteral("@/in/sub/a.pdf")},
         QStringLiteral("would overwrite each other's output: a.pdf")},
        {"empty folder",
         {QStringLiteral("-o"), out, QStringLiteral("@/empty")},
         QStringLiteral("nothing to stamp: no PDF, TIFF, BMP, JPEG, PNG or GIF file found in")},
        {"folder without accepted files",
         {QStringLiteral("-o"), out, QStringLiteral("@/notes")},
         QStringLiteral("nothing to stamp")},
        {"margin beyond the range",
         {QStringLiteral("--margin"), QStringLiteral("1e19"), QStringLiteral("-o"), out, pdf},
         margin},
        {"largest margin",
         {QStringLiteral("--margin"), QStringLiteral("1e308"), QStringLiteral("-o"), out, pdf},
         margin},
        {"infinite margin",
         {QStringLiteral("--margin"), QStringLiteral("inf"), QStringLiteral("-o"), out, pdf},
         margin},
        {"margin not a number",
         {QStringLiteral("--margin"), QStringLiteral("nan"), QStringLiteral("-o"), out, pdf},
         margin},
        {"negative margin",
         {QStringLiteral("--margin"), QStringLiteral("-1"), QStringLiteral("-o"), out, pdf},
         margin},
        {"profile margin beyond the range",
         {QStringLiteral("-p"), QStringLiteral("@/margin.vtprofile"), QStringLiteral("-o"), out,
          pdf},
         QStringLiteral("The left margin (1e+19) is out of range.")},
        {"profile turn beyond the range",
         {QStringLiteral("-p"), QStringLiteral("@/turn.vtprofile"), QStringLiteral("-o"), out, pdf},
         QStringLiteral("is turned by 5e+07 degrees, out of range.")},
        {"font not installed",
         {QStringLiteral("-p"), QStringLiteral("@/font.vtprofile"), QStringLiteral("-o"), out, pdf},
         QStringLiteral("asks for the font \"No Such Family 7\", which is not installed.")},
    };
    const QStringList before = files();
    for (const auto& row : rows) {
        const BatchRun r = run(row.arguments);
        EXPECT_EQ(r.exitCode, 2) << row.name;
        EXPECT_TRUE(r.err.contains(row.says)) << row.name << ": " << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << row.name;
        EXPECT_EQ(files().join(QLatin1Char('\n')).toStdString(),
                  before.join(QLatin1Char('\n')).toStdString())
            << row.name;
    }
}

TEST_F(BatchCommandTest, InPlaceWithOverwriteAndBackup)
{
    const QString pdf = path(QStringLiteral("in/a.pdf"));
    const QByteArray original = veltrane::test::fileBytes(pdf);
    const BatchRun r = run({QStringLiteral("--text"), QStringLiteral("X{0}"), QStringLiteral("-o"),
                            QStringLiteral("@/in/"), QStringLiteral("--overwrite"),
                            QStringLiteral("--backup"), pdf});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.value(0), QStringLiteral("Completed\t3\t") + pdf);
    EXPECT_EQ(veltrane::test::fileBytes(pdf + QStringLiteral(".bak")), original);
    EXPECT_TRUE(veltrane::test::pageText(pdf, 3).contains(QLatin1String("X3")));
}

TEST_F(BatchCommandTest, EveryFileNotCreatedSaysWhy)
{
    write(QStringLiteral("in/junk.pdf"), "not a pdf");
    write(QStringLiteral("in/empty.png"), {});
    ASSERT_EQ(::mkfifo(QFile::encodeName(path(QStringLiteral("in/pipe.pdf"))).constData(), 0600),
              0);
    QFile::copy(veltrane::test::corpusFile(QStringLiteral("qpdf_c-r6-in.pdf")),
                path(QStringLiteral("in/locked.pdf")));
    // A Latin-1 name, which is not UTF-8, in a folder of its own.
    QDir().mkpath(path(QStringLiteral("latin")));
    write(QStringLiteral("latin/plain.pdf"),
          veltrane::test::fileBytes(path(QStringLiteral("in/a.pdf"))));
    ASSERT_EQ(::rename(QFile::encodeName(path(QStringLiteral("latin/plain.pdf"))).constData(),
                       QFile::encodeName(path(QStringLiteral("latin"))) + "/caf\xe9.pdf"),
              0);
    const struct
    {
        const char* input; // under the test's folder
        QString output;    // name in the output folder
        QString reason;
    } rows[] = {
        {"in/missing.pdf", QStringLiteral("missing.pdf"), QStringLiteral("not found")},
        {"in/junk.pdf", QStringLiteral("junk.pdf"), QStringLiteral("not a PDF document")},
        {"in/empty.png", QStringLiteral("empty.png"), QStringLiteral("empty file")},
        {"in/pipe.pdf", QStringLiteral("pipe.pdf"), QStringLiteral("not a regular file")},
        {"in/locked.pdf", QStringLiteral("locked.pdf"), QStringLiteral("needs a password")},
        {"latin", QStringLiteral("caf\uFFFD.pdf"), QStringLiteral("file name is not valid UTF-8")},
    };
    QStringList arguments = {QStringLiteral("--text"), QStringLiteral("{0}"), QStringLiteral("-o"),
                             QStringLiteral("@/out"), QStringLiteral("@/in/b.PDF")};
    for (const auto& row : rows) {
        arguments << QStringLiteral("@/") + QLatin1String(row.input);
    }
    // A FIFO opened for reading would wait for a writer forever: it is never opened.
    const BatchRun r = run(arguments);
    EXPECT_LT(r.seconds, 60);
    EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
    ASSERT_EQ(r.out.size(), int(std::size(rows)) + 4)
        << r.out.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(r.out[0], QStringLiteral("Completed\t2\t") + path(QStringLiteral("out/b.PDF")));
    for (size_t i = 0; i < std::size(rows); ++i) {
        const QString source = QString::fromUtf8(rows[i].input).startsWith(QLatin1String("latin"))
                                   ? path(QStringLiteral("latin/")) + rows[i].output
                                   : path(QString::fromUtf8(rows[i].input));
        EXPECT_EQ(r.out[int(i) + 1],
                  QStringLiteral("No Pages\t0\t") + path(QStringLiteral("out/")) + rows[i].output);
        EXPECT_TRUE(r.err.contains(QStringLiteral("No Pages : ") + source + QStringLiteral(" : ") +
                                   rows[i].reason))
            << rows[i].input << ": " << r.err.toStdString();
    }
    EXPECT_EQ(r.out[int(std::size(rows)) + 1],
              QStringLiteral("Total 1 files processed successfully."));
    // The run's log carries the reasons too.
    QFile log(r.out.last().mid(5));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString xml = QString::fromUtf8(log.readAll());
    for (const auto& row : rows) {
        EXPECT_TRUE(xml.contains(QStringLiteral("Reason=\"") + row.reason + QLatin1Char('"')))
            << row.input;
    }
    EXPECT_EQ(QDir(path(QStringLiteral("out"))).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("b.PDF")});

    const BatchRun wrong =
        run({QStringLiteral("--password"), QStringLiteral("nope"), QStringLiteral("-o"),
             QStringLiteral("@/out"), QStringLiteral("@/in/locked.pdf")});
    EXPECT_TRUE(wrong.err.contains(QStringLiteral("No Pages : ") +
                                   path(QStringLiteral("in/locked.pdf")) +
                                   QStringLiteral(" : wrong password")))
        << wrong.err.toStdString();
    // The option keeps the protection; without it the copy above came out open.
    const BatchRun kept = run({QStringLiteral("--password"), QStringLiteral("user4"),
                               QStringLiteral("--keep-encryption"), QStringLiteral("-o"),
                               QStringLiteral("@/out"), QStringLiteral("@/in/locked.pdf")});
    ASSERT_EQ(kept.exitCode, 0) << kept.err.toStdString();
    const QString copy = path(QStringLiteral("out/locked.pdf"));
    EXPECT_EQ(veltrane::test::pdfFacts(copy).pages, -1);
    EXPECT_TRUE(veltrane::test::pdfFacts(copy, QStringLiteral("user4")).encrypted);
    ::unlink(QFile::encodeName(path(QStringLiteral("latin"))) + "/caf\xe9.pdf");
}

TEST_F(BatchCommandTest, AFullDiskFailsTheFileSaysWhyAndKeepsTheEarlierOutput)
{
    const QString pdf = path(QStringLiteral("in/a.pdf"));
    const QByteArray original = veltrane::test::fileBytes(pdf);
    const QString tiff = path(QStringLiteral("in/scan.tif"));
    veltrane::test::writeTiff(tiff, QList<QImage>(2, QImage(200, 200, QImage::Format_RGB32)), true);
    // An earlier output of the same name, from another run.
    veltrane::test::writeBodyPdf(path(QStringLiteral("out/a.pdf")), 1, QSizeF(100, 100));
    const QByteArray earlier = veltrane::test::fileBytes(path(QStringLiteral("out/a.pdf")));
    // A file-size limit of 1 KiB makes every output write fail part way.
    const BatchRun r = run({QStringLiteral("--text"), QStringLiteral("{0}"), QStringLiteral("-o"),
                            QStringLiteral("@/out"), pdf, tiff},
                           QStringLiteral("ulimit -f 2"));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out.value(0), QStringLiteral("Failed\t3\t") + path(QStringLiteral("out/a.pdf")));
    EXPECT_EQ(r.out.value(1), QStringLiteral("Failed\t2\t") + path(QStringLiteral("out/scan.tif")));
    EXPECT_EQ(r.out.value(2), QStringLiteral("Total 0 files processed successfully."));
    // What the system said, for both kinds of writer.
    EXPECT_EQ(r.err.count(QStringLiteral("File too large")), 4) << r.err.toStdString();
    EXPECT_FALSE(r.err.contains(QStringLiteral("Unknown error")));
    EXPECT_EQ(QDir(path(QStringLiteral("out"))).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("a.pdf")});
    EXPECT_EQ(veltrane::test::fileBytes(path(QStringLiteral("out/a.pdf"))), earlier);
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
    BatchRun r = run({QStringLiteral("--text"), QStringLiteral("{0} of {1}"),
                      QStringLiteral("--preview"), sample});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(QImage(sample).size(), QSize(595, 842));
    const QString live = path(QStringLiteral("live.png"));
    r = run({QStringLiteral("--text"), QStringLiteral("{0} of {1}"), QStringLiteral("--page"),
             QStringLiteral("2"), QStringLiteral("--preview"), live, QStringLiteral("@/in/a.pdf")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(QImage(live).size(), QSize(300, 300));
    EXPECT_EQ(
        run({QStringLiteral("--page"), QStringLiteral("0"), QStringLiteral("--preview"), live})
            .exitCode,
        2);

    // A page that cannot be shown: the sample page stands in, and the command says so.
    QFile::copy(veltrane::test::corpusFile(QStringLiteral("qpdf_c-r6-in.pdf")),
                path(QStringLiteral("in/locked.pdf")));
    const struct
    {
        const char* name;
        QString page;
        QString file;
        QString says;
        QSize sample; // the file's own page size when it is known
    } rows[] = {
        {"page past the end", QStringLiteral("4"), path(QStringLiteral("in/a.pdf")),
         QStringLiteral("page 4 of %1 cannot be shown (it has 3 page(s))"), QSize(300, 300)},
        {"locked document", QStringLiteral("1"), path(QStringLiteral("in/locked.pdf")),
         QStringLiteral("page 1 of %1 cannot be shown (needs a password)"), QSize(595, 842)},
    };
    for (const auto& row : rows) {
        QFile::remove(live);
        r = run({QStringLiteral("--text"), QStringLiteral("{0} of {1}"), QStringLiteral("--page"),
                 row.page, QStringLiteral("--preview"), live, row.file});
        EXPECT_EQ(r.exitCode, 1) << row.name;
        EXPECT_TRUE(r.err.contains(row.says.arg(row.file))) << row.name << r.err.toStdString();
        EXPECT_EQ(QImage(live).size(), row.sample) << row.name;
    }
}
