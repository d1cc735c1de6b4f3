#include "cli/BatchCommand.h"

#include "filelist/FileItem.h"
#include "filelist/FolderWalk.h"
#include "filelist/Gathering.h"
#include "model/Settings.h"
#include "model/TextStamp.h"
#include "preview/PageCache.h"
#include "preview/PreviewLayout.h"
#include "processing/Process.h"
#include "processing/RunChecks.h"
#include "render/StampDrawing.h"

#include <atomic>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <QUrl>
#include <thread>
#include <unistd.h>
#include <vector>

namespace veltrane {
namespace {

std::atomic<Process*> g_running{nullptr};

extern "C" void cancelRun(int)
{
    if (Process* process = g_running.load()) {
        process->requestStop();
    }
}

void printErr(const QString& text)
{
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

void printOut(const QString& text)
{
    std::fprintf(stdout, "%s\n", text.toLocal8Bit().constData());
}

int usageError(const QString& text)
{
    printErr(QStringLiteral("veltrane-batch: ") + text);
    return 2;
}

struct Inputs
{
    QStringList paths;
    QString error;
};

// Files as given (any letter case of an accepted extension) and folders walked; order kept,
// duplicates dropped.
Inputs collectInputs(const QStringList& arguments, bool recursive)
{
    Inputs inputs;
    QSet<QString> seen;
    auto add = [&](const QString& path) {
        const QString absolute = QFileInfo(path).absoluteFilePath();
        if (!seen.contains(absolute)) {
            seen.insert(absolute);
            inputs.paths << absolute;
        }
    };
    for (const QString& argument : arguments) {
        const QFileInfo info(argument);
        if (info.isDir()) {
            for (const QString& file : walkFolder(argument, recursive)) {
                add(file);
            }
        } else if (hasAcceptedExtension(argument, true)) {
            add(argument);
        } else {
            inputs.error =
                QStringLiteral("not a PDF, TIFF, BMP, JPEG, PNG or GIF file: %1").arg(argument);
            return inputs;
        }
    }
    return inputs;
}

// The preview image the desktop program would show, written as a picture file.
int writePreview(Numbering& job, const QList<FileItem>& items, int pageNumber, int highlight,
                 const QString& path)
{
    const QSizeF samplePage(595, 842);
    QImage image;
    bool shown = true;
    if (items.isEmpty()) {
        image = job.preview2(4, samplePage, highlight);
    } else {
        QList<qint64> pages;
        for (const FileItem& item : items) {
            pages << item.pages();
        }
        const qint64 total = previewPageTotal(job, pages);
        const FileItem& first = items.first();
        job.setPdfOpenPassword(first.isEncrypted() ? first.pdfOpenPassword() : QString());
        job.setDateTaken(first.dateTaken().value_or(QString()));
        const QSizeF size = first.imageSize().isEmpty() ? samplePage : first.imageSize();
        image = job.previewLive(first.path(), 0, pageNumber, pages,
                                job.isContinuousNumbering() ? total : 0, size, highlight);
        // The live page is kept once shown; without it the engine fell back to the sample.
        if (cachedPreviewPage(first.path(), pageNumber, job.pdfOpenPassword()).isNull()) {
            const QString why = !first.problem().isEmpty() ? first.problem()
                                : pageNumber > first.pages()
                                    ? QStringLiteral("it has %1 page(s)").arg(first.pages())
                                    : QStringLiteral("it cannot be rasterised");
            printErr(QStringLiteral("veltrane-batch: page %1 of %2 cannot be shown (%3); the "
                                    "sample page was written instead")
                         .arg(pageNumber)
                         .arg(first.path(), why));
            shown = false;
        }
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit()) {
        return usageError(QStringLiteral("cannot write the preview %1").arg(path));
    }
    return shown ? 0 : 1;
}

void drawProgress(const RunProgress& progress)
{
    const int width = 30;
    const int filled = progress.outputs > 0 ? width * progress.processed / progress.outputs : width;
    std::fprintf(stderr, "\r[%s%s] %d/%d %s\x1b[K", QByteArray(filled, '#').constData(),
                 QByteArray(width - filled, ' ').constData(), progress.processed, progress.outputs,
                 progress.fileInProcess.toLocal8Bit().constData());
    if (progress.finished) {
        std::fprintf(stderr, "\n");
    }
    std::fflush(stderr);
}

} // namespace

int runBatchCommand(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Stamps page numbers, labels, dates and pictures onto PDF, TIFF, BMP, JPEG, PNG and GIF "
        "files, writing one stamped copy of each into the output folder."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("INPUT"),
                                 QStringLiteral("Files and folders to stamp."),
                                 QStringLiteral("INPUT..."));
    const QCommandLineOption profile({QStringLiteral("p"), QStringLiteral("profile")},
                                     QStringLiteral("The stamp job of a .vtprofile file."),
                                     QStringLiteral("FILE"));
    const QCommandLineOption text(
        QStringLiteral("text"), QStringLiteral("Add a text stamp with this template (repeatable)."),
        QStringLiteral("TEMPLATE"));
    const QCommandLineOption anchor(QStringLiteral("anchor"),
                                    QStringLiteral("Anchor 1-9 of stamps added with --text."),
                                    QStringLiteral("N"), QStringLiteral("9"));
    const QCommandLineOption margin(QStringLiteral("margin"),
                                    QStringLiteral("All four margins, in points."),
                                    QStringLiteral("PT"));
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("Output folder."), QStringLiteral("DIR"));
    const QCommandLineOption recursive({QStringLiteral("r"), QStringLiteral("recursive")},
                                       QStringLiteral("Walk subfolders."));
    const QCommandLineOption continuous(QStringLiteral("continuous"),
                                        QStringLiteral("Numbering runs on across files."));
    const QCommandLineOption restart(QStringLiteral("restart"),
                                     QStringLiteral("Numbering restarts with every file."));
    const QCommandLineOption password(QStringLiteral("password"),
                                      QStringLiteral("Read password of encrypted PDF files."),
                                      QStringLiteral("TEXT"));
    const QCommandLineOption keepEncryption(
        QStringLiteral("keep-encryption"),
        QStringLiteral("Stamped copies of protected PDFs keep the source's encryption and "
                       "permissions (default: written without protection)."));
    const QCommandLineOption backup(
        QStringLiteral("backup"), QStringLiteral("Keep FILE.bak when a file is stamped in place."));
    const QCommandLineOption overwrite(
        QStringLiteral("overwrite"),
        QStringLiteral("Allow an output folder that is also a source folder."));
    const QCommandLineOption jobs(
        {QStringLiteral("j"), QStringLiteral("jobs")},
        QStringLiteral("Files stamped at once (default: one more than the number of cores)."),
        QStringLiteral("N"));
    const QCommandLineOption quiet({QStringLiteral("q"), QStringLiteral("quiet")},
                                   QStringLiteral("No progress bar."));
    const QCommandLineOption preview(
        QStringLiteral("preview"),
        QStringLiteral("Write the preview image instead of stamping: the sample page, or page "
                       "--page of the first input."),
        QStringLiteral("OUT.png"));
    const QCommandLineOption page(QStringLiteral("page"),
                                  QStringLiteral("Page of the first input to preview (default 1)."),
                                  QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption highlight(
        QStringLiteral("highlight"),
        QStringLiteral("Index of the stamp to highlight in the preview."), QStringLiteral("K"),
        QStringLiteral("-1"));
    parser.addOptions({profile, text, anchor, margin, output, recursive, continuous, restart,
                       password, keepEncryption, backup, overwrite, jobs, quiet, preview, page,
                       highlight});
    if (!parser.parse(arguments)) {
        return usageError(parser.errorText());
    }
    if (parser.isSet(QStringLiteral("help"))) {
        printOut(parser.helpText());
        return 0;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        printOut(QStringLiteral("veltrane-batch ") + QCoreApplication::applicationVersion());
        return 0;
    }
    if (parser.positionalArguments().isEmpty() && !parser.isSet(preview)) {
        return usageError(QStringLiteral("no input; see --help"));
    }
    if (parser.isSet(continuous) && parser.isSet(restart)) {
        return usageError(QStringLiteral("--continuous and --restart exclude each other"));
    }

    Settings settings;
    Numbering& job = settings.number();
    if (parser.isSet(profile) && !job.load(parser.value(profile))) {
        return usageError(QStringLiteral("cannot read the profile %1").arg(parser.value(profile)));
    }
    bool ok = true;
    const int anchorCode = parser.value(anchor).toInt(&ok);
    if (!ok || anchorCode < 1 || anchorCode > 9) {
        return usageError(QStringLiteral("--anchor takes 1 to 9"));
    }
    for (const QString& templateText : parser.values(text)) {
        auto stamp = std::make_unique<TextStamp>();
        stamp->setNumberFormat(templateText);
        stamp->setMarginAnchor(anchorCode);
        job.stamps().push_back(std::move(stamp));
    }
    if (parser.isSet(margin)) {
        const double points = parser.value(margin).toDouble(&ok);
        if (!ok || !std::isfinite(points) || points < 0 || points > kMaxStampCoordinate) {
            return usageError(QStringLiteral("--margin takes a length in points from 0 to %1")
                                  .arg(kMaxStampCoordinate, 0, 'f', 0));
        }
        job.setMarginUnit(Points);
        job.setIsMarginInPercentage(false);
        job.setMarginLeft(points);
        job.setMarginTop(points);
        job.setMarginRight(points);
        job.setMarginBottom(points);
    }
    if (parser.isSet(continuous) || parser.isSet(restart)) {
        job.setIsContinuousNumbering(parser.isSet(continuous));
    }
    // The command does what its options say, whatever the window's preference is.
    settings.setIsKeepEncryption(parser.isSet(keepEncryption));
    if (parser.isSet(backup)) {
        job.setIsBackupFile(true);
    }
    int jobCount = Process::defaultJobs();
    if (parser.isSet(jobs)) {
        jobCount = parser.value(jobs).toInt(&ok);
        if (!ok || jobCount < 1) {
            return usageError(QStringLiteral("--jobs takes a number from 1"));
        }
    }

    // Jobs that would come out wrong are refused before anything is read or written.
    QStringList problems = jobRangeProblems(job);
    for (const MissingFont& missing : stampsWithMissingFonts(job)) {
        problems << missingFontMessage(missing);
    }
    if (!problems.isEmpty()) {
        return usageError(problems.join(QStringLiteral("\nveltrane-batch: ")));
    }

    const Inputs inputs = collectInputs(parser.positionalArguments(), parser.isSet(recursive));
    if (!inputs.error.isEmpty()) {
        return usageError(inputs.error);
    }
    if (inputs.paths.isEmpty() && !parser.positionalArguments().isEmpty()) {
        return usageError(
            QStringLiteral("nothing to stamp: no PDF, TIFF, BMP, JPEG, PNG or GIF file found in %1")
                .arg(parser.positionalArguments().join(QStringLiteral(", "))));
    }
    const QString readPassword =
        parser.isSet(password) ? parser.value(password) : settings.pdfOpenPassword();
    const std::atomic<bool> measuring{true};
    const QList<FileItem> items = measureFiles(inputs.paths, readPassword, jobCount, {}, measuring);

    if (parser.isSet(preview)) {
        const int pageNumber = parser.value(page).toInt(&ok);
        if (!ok || pageNumber < 1) {
            return usageError(QStringLiteral("--page takes a number from 1"));
        }
        const int highlighted = parser.value(highlight).toInt(&ok);
        if (!ok) {
            return usageError(QStringLiteral("--highlight takes a stamp index"));
        }
        return writePreview(job, items, pageNumber, highlighted, parser.value(preview));
    }

    const QString folder = QDir::cleanPath(
        QFileInfo(parser.isSet(output) ? parser.value(output) : settings.outputFolderPath())
            .absoluteFilePath());
    const QString outputFolder =
        parser.isSet(output) || !settings.outputFolderPath().isEmpty() ? folder : QString();
    const FolderProblem problem = checkOutputFolder(outputFolder);
    if (problem != FolderProblem::None) {
        printErr(folderProblemMessage(problem, outputFolder));
        return 2;
    }
    if (!parser.isSet(overwrite) && outputFolderMatchesSources(outputFolder, items)) {
        printErr(kOverwriteWarning);
        printErr(kOverwriteQuestion + QStringLiteral(" (use --overwrite)"));
        return 2;
    }
    const QStringList clashes = outputNameClashes(items);
    if (!clashes.isEmpty()) {
        return usageError(QStringLiteral("several inputs share a file name and would overwrite "
                                         "each other's output: %1")
                              .arg(clashes.join(QStringLiteral(", "))));
    }

    Process process(settings);
    process.setJobs(jobCount);
    const bool bar = !parser.isSet(quiet) && ::isatty(STDERR_FILENO);
    if (bar) {
        process.setProgressHandler(drawProgress);
    }
    process.combine(items, outputFolder);
    g_running.store(&process);
    std::signal(SIGINT, cancelRun);
    std::signal(SIGTERM, cancelRun);
    process.start(totalPagesOf(items));
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    g_running.store(nullptr);

    bool allCreated = process.log().files.size() == items.size();
    for (const LogFiles& file : process.log().files) {
        printOut(QStringLiteral("%1\t%2\t%3")
                     .arg(file.status)
                     .arg(file.pages)
                     .arg(file.targetPath + QLatin1Char('/') + file.filename));
        allCreated &= file.status == QLatin1String("Completed");
    }
    printOut(process.message());
    printOut(timeTakenLabel(process.timeTaken(), process.totalFileProcessed(),
                            process.outputFiles().size()));
    printOut(QStringLiteral("Log: ") + process.log().logFilePath());
    return allCreated ? 0 : 1;
}

} // namespace veltrane
