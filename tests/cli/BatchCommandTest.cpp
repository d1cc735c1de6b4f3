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

using namespace Qt::StringLiterals;

using veltrane::test::BatchRun;

namespace {

// Runs the real command with preferences and data in a folder of the test's own.
class BatchCommandTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QDir().mkpath(path(u"in/sub"_s));
        QDir().mkpath(path(u"out"_s));
        veltrane::test::writeBodyPdf(path(u"in/a.pdf"_s), 3, QSizeF(300, 300));
        veltrane::test::writeBodyPdf(path(u"in/b.PDF"_s), 2, QSizeF(300, 300));
        veltrane::test::writeBodyPdf(path(u"in/sub/c.pdf"_s), 1, QSizeF(300, 300));
        veltrane::test::writeBodyPdf(path(u"in/.hidden.pdf"_s), 1, QSizeF(300, 300));
        veltrane::test::writeBodyPdf(path(u"in/odd.Pdf"_s), 1, QSizeF(300, 300));
    }

    QString path(const QString& name) const { return m_home.filePath(name); }

    // Arguments starting with "@/" name files of the test's folder.
    BatchRun run(const char* line, const QString& shell = {})
    {
        return run(QString::fromUtf8(line).split(QLatin1Char(' '), Qt::SkipEmptyParts), shell);
    }
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
        veltrane::test::writeFile(path(name), bytes);
    }

    // Every file of the inputs, the output folder and the test's folder, with a digest of its
    // bytes.
    QStringList files() const
    {
        QStringList found;
        for (const QString& folder : {u"in"_s, u"in/sub"_s, u"out"_s, QString()}) {
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
    const BatchRun r = run("--text <{0}/{1}> -o @/out -r -q --continuous @/in @/in/a.pdf");
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    ASSERT_EQ(r.out.size(), 6) << r.out.join(QLatin1Char('\n')).toStdString();
    // Folder walk: by name, exact-case extensions only, hidden entries skipped, subfolders with
    // -r; the file named again afterwards is a duplicate.
    EXPECT_EQ(r.out[0], u"Completed\t3\t"_s + path(u"out/a.pdf"_s));
    EXPECT_EQ(r.out[1], u"Completed\t2\t"_s + path(u"out/b.PDF"_s));
    EXPECT_EQ(r.out[2], u"Completed\t1\t"_s + path(u"out/c.pdf"_s));
    EXPECT_EQ(r.out[3], u"All files processed successfully."_s);
    EXPECT_TRUE(r.out[4].startsWith(u"Total Time Taken : "_s));
    EXPECT_TRUE(r.out[4].endsWith(u" 3/3"_s));
    EXPECT_TRUE(r.out[5].startsWith(u"Log: "_s + path(u"share/Orlavex/Veltrane2/Logs/"_s)));
    EXPECT_TRUE(QFile::exists(r.out[5].mid(5)));
    EXPECT_TRUE(veltrane::test::pageText(path(u"out/c.pdf"_s), 1).contains(u"<6/6>"_s));
    EXPECT_FALSE(QFile::exists(path(u"out/.hidden.pdf"_s)));
}

TEST_F(BatchCommandTest, RefusedBeforeAnythingIsWritten)
{
    QDir().mkpath(path(u"empty"_s));
    QDir().mkpath(path(u"notes"_s));
    write(u"notes/readme.txt"_s, "nothing to stamp");
    QFile::copy(path(u"in/a.pdf"_s), path(u"in/sub/a.pdf"_s));
    auto profile = [&](const QString& name, const QByteArray& job) {
        write(name, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>" +
                        job + "</dict></plist>");
    };
    const QByteArray stamp = "<key>Stamps</key><array><dict><key>numberFormat</key>"
                             "<string>{0}</string><key>isSelected</key><true/>";
    profile(u"margin.vtprofile"_s, "<key>marginLeft</key><real>1e19</real>" + stamp +
                                       "<key>font</key><dict/></dict></array>");
    profile(u"font.vtprofile"_s,
            stamp + "<key>font</key><dict><key>fontName</key><string>No Such Family 7</string>"
                    "</dict></dict></array>");
    const QString sameFolder = QStringLiteral("Output folder location matched with few of your "
                                              "selected source files!");
    const QString margin = u"--margin takes a length in points from 0 to 10000000"_s;
    const struct
    {
        const char* name;
        const char* arguments; // split at spaces
        QString says;          // on standard error
    } rows[] = {
        {"no input", "", u"no input"_s},
        {"unknown option", "--bogus @/in/a.pdf", u"'bogus'"_s},
        {"not an accepted file", "-o @/out @/notes/readme.txt",
         u"not a PDF, TIFF, BMP, JPEG, PNG or GIF file"_s},
        {"no output folder", "@/in/a.pdf", u"Please select output folder!"_s},
        {"missing output folder", "-o @/nowhere @/in/a.pdf", u"is missing!"_s},
        // The other spellings of the source folder are RunChecks' own.
        {"output folder is the source folder", "-o @/in @/in/a.pdf", sameFolder},
        {"missing profile", "-o @/out -p @/none.vtprofile @/in/a.pdf",
         u"cannot read the profile"_s},
        {"two inputs of one name", "-o @/out @/in/a.pdf @/in/sub/a.pdf",
         u"would overwrite each other's output: a.pdf"_s},
        {"empty folder", "-o @/out @/empty",
         u"nothing to stamp: no PDF, TIFF, BMP, JPEG, PNG or GIF file found in"_s},
        {"folder without accepted files", "-o @/out @/notes", u"nothing to stamp"_s},
        {"margin beyond the range", "--margin 1e19 -o @/out @/in/a.pdf", margin},
        {"largest margin", "--margin 1e308 -o @/out @/in/a.pdf", margin},
        {"infinite margin", "--margin inf -o @/out @/in/a.pdf", margin},
        {"margin not a number", "--margin nan -o @/out @/in/a.pdf", margin},
        {"negative margin", "--margin -1 -o @/out @/in/a.pdf", margin},
        // One row each for the range and the font checks, whose cases are RunChecks' own.
        {"profile margin beyond the range", "-p @/margin.vtprofile -o @/out @/in/a.pdf",
         u"The left margin (1e+19) is out of range."_s},
        {"font not installed", "-p @/font.vtprofile -o @/out @/in/a.pdf",
         u"asks for the font \"No Such Family 7\", which is not installed."_s},
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
    const QString pdf = path(u"in/a.pdf"_s);
    const QByteArray original = veltrane::test::fileBytes(pdf);
    const BatchRun r = run("--text X{0} -o @/in/ --overwrite --backup @/in/a.pdf");
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.value(0), u"Completed\t3\t"_s + pdf);
    EXPECT_EQ(veltrane::test::fileBytes(pdf + u".bak"_s), original);
    EXPECT_TRUE(veltrane::test::pageText(pdf, 3).contains(QLatin1String("X3")));
}

TEST_F(BatchCommandTest, EveryFileNotCreatedSaysWhy)
{
    write(u"in/junk.pdf"_s, "not a pdf");
    ASSERT_EQ(::mkfifo(QFile::encodeName(path(u"in/pipe.pdf"_s)).constData(), 0600), 0);
    QFile::copy(veltrane::test::corpusFile(u"qpdf_c-r6-in.pdf"_s), path(u"in/locked.pdf"_s));
    // A Latin-1 name, which is not UTF-8, in a folder of its own.
    QDir().mkpath(path(u"latin"_s));
    write(u"latin/plain.pdf"_s, veltrane::test::fileBytes(path(u"in/a.pdf"_s)));
    ASSERT_EQ(::rename(QFile::encodeName(path(u"latin/plain.pdf"_s)).constData(),
                       QFile::encodeName(path(u"latin"_s)) + "/caf\xe9.pdf"),
              0);
    const struct
    {
        const char* input; // under the test's folder
        QString output;    // name in the output folder
        QString reason;
    } rows[] = {
        {"in/junk.pdf", u"junk.pdf"_s, u"not a PDF document"_s},
        {"in/pipe.pdf", u"pipe.pdf"_s, u"not a regular file"_s},
        {"in/locked.pdf", u"locked.pdf"_s, u"needs a password"_s},
        {"latin", u"caf\uFFFD.pdf"_s, u"file name is not valid UTF-8"_s},
    };
    QStringList arguments = {u"--text"_s, u"{0}"_s, u"-o"_s, u"@/out"_s, u"@/in/b.PDF"_s};
    for (const auto& row : rows) {
        arguments << u"@/"_s + QLatin1String(row.input);
    }
    // A FIFO opened for reading would wait for a writer forever: it is never opened.
    const BatchRun r = run(arguments);
    EXPECT_LT(r.seconds, 60);
    EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
    ASSERT_EQ(r.out.size(), int(std::size(rows)) + 4)
        << r.out.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(r.out[0], u"Completed\t2\t"_s + path(u"out/b.PDF"_s));
    for (size_t i = 0; i < std::size(rows); ++i) {
        const QString source = QString::fromUtf8(rows[i].input).startsWith(QLatin1String("latin"))
                                   ? path(u"latin/"_s) + rows[i].output
                                   : path(QString::fromUtf8(rows[i].input));
        EXPECT_EQ(r.out[int(i) + 1], u"No Pages\t0\t"_s + path(u"out/"_s) + rows[i].output);
        EXPECT_TRUE(r.err.contains(u"No Pages : "_s + source + u" : "_s + rows[i].reason))
            << rows[i].input << ": " << r.err.toStdString();
    }
    EXPECT_EQ(r.out[int(std::size(rows)) + 1], u"Total 1 files processed successfully."_s);
    // The run's log carries the reasons too.
    QFile log(r.out.last().mid(5));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString xml = QString::fromUtf8(log.readAll());
    for (const auto& row : rows) {
        EXPECT_TRUE(xml.contains(u"Reason=\""_s + row.reason + QLatin1Char('"'))) << row.input;
    }
    EXPECT_EQ(QDir(path(u"out"_s)).entryList(QDir::Files | QDir::Hidden), QStringList{u"b.PDF"_s});

    const BatchRun wrong = run("--password nope -o @/out @/in/locked.pdf");
    EXPECT_TRUE(
        wrong.err.contains(u"No Pages : "_s + path(u"in/locked.pdf"_s) + u" : wrong password"_s))
        << wrong.err.toStdString();
    // The option keeps the protection; without it the copy above came out open.
    const BatchRun kept = run("--password user4 --keep-encryption -o @/out @/in/locked.pdf");
    ASSERT_EQ(kept.exitCode, 0) << kept.err.toStdString();
    const QString copy = path(u"out/locked.pdf"_s);
    EXPECT_EQ(veltrane::test::pdfFacts(copy).pages, -1);
    EXPECT_TRUE(veltrane::test::pdfFacts(copy, u"user4"_s).encrypted);
    ::unlink(QFile::encodeName(path(u"latin"_s)) + "/caf\xe9.pdf");
}

TEST_F(BatchCommandTest, AFullDiskFailsTheFileSaysWhyAndKeepsTheEarlierOutput)
{
    const QString pdf = path(u"in/a.pdf"_s);
    const QByteArray original = veltrane::test::fileBytes(pdf);
    const QString tiff = path(u"in/scan.tif"_s);
    veltrane::test::writeTiff(tiff, QList<QImage>(2, QImage(200, 200, QImage::Format_RGB32)), true);
    // An earlier output of the same name, from another run.
    veltrane::test::writeBodyPdf(path(u"out/a.pdf"_s), 1, QSizeF(100, 100));
    const QByteArray earlier = veltrane::test::fileBytes(path(u"out/a.pdf"_s));
    // A file-size limit of 1 KiB makes every output write fail part way.
    const BatchRun r = run("--text {0} -o @/out @/in/a.pdf @/in/scan.tif", u"ulimit -f 2"_s);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out.value(0), u"Failed\t3\t"_s + path(u"out/a.pdf"_s));
    EXPECT_EQ(r.out.value(1), u"Failed\t2\t"_s + path(u"out/scan.tif"_s));
    EXPECT_EQ(r.out.value(2), u"Total 0 files processed successfully."_s);
    // What the system said, for both kinds of writer.
    EXPECT_EQ(r.err.count(u"File too large"_s), 4) << r.err.toStdString();
    EXPECT_FALSE(r.err.contains(u"Unknown error"_s));
    EXPECT_EQ(QDir(path(u"out"_s)).entryList(QDir::Files | QDir::Hidden), QStringList{u"a.pdf"_s});
    EXPECT_EQ(veltrane::test::fileBytes(path(u"out/a.pdf"_s)), earlier);
    EXPECT_EQ(veltrane::test::fileBytes(pdf), original);
}

TEST_F(BatchCommandTest, InterruptCancelsBetweenFiles)
{
    QDir().mkpath(path(u"many"_s));
    for (int i = 0; i < 60; ++i) {
        veltrane::test::writeBodyPdf(path(u"many/f%1.pdf"_s.arg(i, 2, 10, QLatin1Char('0'))), 3);
    }
    QProcess process;
    veltrane::test::startBatch(
        process, {u"-j"_s, u"1"_s, u"--text"_s, u"{0}"_s, u"-o"_s, path(u"out"_s), path(u"many"_s)},
        m_home.path());
    ASSERT_TRUE(process.waitForStarted());
    // Interrupt once the first output is there.
    for (int i = 0; i < 600 && QDir(path(u"out"_s)).entryList(QDir::Files).isEmpty(); ++i) {
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
    EXPECT_EQ(out[out.size() - 3], u"Process cancelled!"_s);
    // Every file that was reached is complete; nothing half-written is left.
    const QStringList written = QDir(path(u"out"_s)).entryList(QDir::Files | QDir::Hidden);
    EXPECT_EQ(written.size(), out.size() - 3);
    for (const QString& name : written) {
        EXPECT_EQ(veltrane::test::pdfFacts(path(u"out/"_s + name)).pages, 3) << name.toStdString();
    }
}

TEST_F(BatchCommandTest, PreviewWritesTheSampleOrTheLivePage)
{
    const QString sample = path(u"sample.png"_s);
    BatchRun r = run("--text {0} --preview @/sample.png");
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(QImage(sample).size(), QSize(595, 842));
    const QString live = path(u"live.png"_s);
    r = run("--text {0} --page 2 --preview @/live.png @/in/a.pdf");
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(QImage(live).size(), QSize(300, 300));
    EXPECT_EQ(run("--page 0 --preview @/live.png").exitCode, 2);

    // A page that cannot be shown: the sample page stands in, and the command says so.
    QFile::copy(veltrane::test::corpusFile(u"qpdf_c-r6-in.pdf"_s), path(u"in/locked.pdf"_s));
    const struct
    {
        const char* name;
        QString page;
        QString file;
        QString says;
        QSize sample; // the file's own page size when it is known
    } rows[] = {
        {"page past the end", u"4"_s, path(u"in/a.pdf"_s),
         u"page 4 of %1 cannot be shown (it has 3 page(s))"_s, QSize(300, 300)},
        {"locked document", u"1"_s, path(u"in/locked.pdf"_s),
         u"page 1 of %1 cannot be shown (needs a password)"_s, QSize(595, 842)},
    };
    for (const auto& row : rows) {
        QFile::remove(live);
        r = run(
            {u"--text"_s, u"{0} of {1}"_s, u"--page"_s, row.page, u"--preview"_s, live, row.file});
        EXPECT_EQ(r.exitCode, 1) << row.name;
        EXPECT_TRUE(r.err.contains(row.says.arg(row.file))) << row.name << r.err.toStdString();
        EXPECT_EQ(QImage(live).size(), row.sample) << row.name;
    }
}
