#include "support/BatchRunner.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace Qt::StringLiterals;

extern char** environ;

namespace veltrane::test {

BatchRun runBatch(const QStringList& arguments, const QString& home, const QString& shell,
                  int timeoutSeconds)
{
    std::vector<QByteArray> argv;
    if (!shell.isEmpty()) {
        argv = {"/bin/sh", "-c", shell.toUtf8() + "; exec \"$0\" \"$@\""};
    }
    argv.emplace_back(VELTRANE_BATCH);
    for (const QString& argument : arguments) {
        argv.push_back(QFile::encodeName(argument));
    }
    std::vector<char*> pointers;
    for (QByteArray& a : argv) {
        pointers.push_back(a.data());
    }
    pointers.push_back(nullptr);
    // The environment is made before forking: between fork and exec only async-signal-safe
    // calls are allowed, and the test's other threads may hold the allocator's lock.
    std::vector<QByteArray> environment = {
        "XDG_CONFIG_HOME=" + QFile::encodeName(home + u"/config"_s),
        "XDG_DATA_HOME=" + QFile::encodeName(home + u"/share"_s)};
    // Under limits such as a file size, a coverage build's counters cannot be written whole:
    // they go to a folder of their own instead of spoiling the shared ones.
    if (!shell.isEmpty()) {
        environment.push_back("GCOV_PREFIX=" + QFile::encodeName(home + u"/limited-counters"_s));
    }
    for (char** entry = environ; *entry; ++entry) {
        const QByteArray text(*entry);
        const QByteArray name = text.left(text.indexOf('='));
        if (name != "XDG_CONFIG_HOME" && name != "XDG_DATA_HOME" && name != "DISPLAY" &&
            name != "WAYLAND_DISPLAY" && name != "QT_QPA_PLATFORM") {
            environment.push_back(text);
        }
    }
    std::vector<char*> envp;
    for (QByteArray& e : environment) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);

    int outPipe[2];
    int errPipe[2];
    BatchRun run;
    if (::pipe2(outPipe, O_CLOEXEC) != 0 || ::pipe2(errPipe, O_CLOEXEC) != 0) {
        return run;
    }
    QElapsedTimer timer;
    timer.start();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(outPipe[1], STDOUT_FILENO);
        ::dup2(errPipe[1], STDERR_FILENO);
        ::close(outPipe[0]);
        ::close(errPipe[0]);
        ::close(outPipe[1]);
        ::close(errPipe[1]);
        ::execve(pointers[0], pointers.data(), envp.data());
        ::_exit(127);
    }
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    QByteArray out;
    QByteArray err;
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    int open = 2;
    bool killed = false;
    while (open > 0) {
        const int left = int(timeoutSeconds * 1000 - timer.elapsed());
        if (left <= 0 && !killed) {
            ::kill(pid, SIGKILL);
            killed = true;
        }
        if (::poll(fds, 2, std::max(left, 100)) < 0 && errno != EINTR) {
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) {
                continue;
            }
            char buffer[65536];
            const ssize_t got = ::read(fds[i].fd, buffer, sizeof buffer);
            if (got > 0) {
                (i == 0 ? out : err).append(buffer, got);
            } else if (got == 0 || errno != EINTR) {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    run.seconds = timer.elapsed() / 1000.0;
    run.peakKiB = usage.ru_maxrss;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = QString::fromUtf8(out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    run.err = QString::fromUtf8(err);
    return run;
}

void startBatch(QProcess& process, const QStringList& arguments, const QString& home)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"XDG_CONFIG_HOME"_s, home + u"/config"_s);
    environment.insert(u"XDG_DATA_HOME"_s, home + u"/share"_s);
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QStringLiteral(VELTRANE_BATCH), arguments);
}

} // namespace veltrane::test
