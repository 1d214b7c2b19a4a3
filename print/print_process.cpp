#include "print_process.h"

#include "print_limits.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace solvara {

PrintProcess::PrintProcess(QString helper, QObject *parent)
    : QObject(parent)
    , program_(std::move(helper))
{
    clock_.setSingleShot(true);
    clock_.setTimerType(Qt::PreciseTimer); // a coarse one may come a second late
    connect(&clock_, &QTimer::timeout, this, [this] { finish(true); });
    connect(&helper_, &QProcess::readyReadStandardOutput, this, &PrintProcess::readHelper);
    connect(&helper_, &QProcess::finished, this, [this] { finish(true); });
    connect(&helper_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            finish(true);
    });
    helper_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // The helper never outlives the window, however the window ends. Set in
    // the child before the helper runs, so a window that dies in between is
    // seen too.
    const pid_t window = getpid();
    helper_.setChildProcessModifier([window] {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != window)
            _exit(127);
    });
}

PrintProcess::~PrintProcess() { finish(false); }

void PrintProcess::start(const std::string &request)
{
    clock_.start(kHelperLimit);
    helper_.start(program_, {});
    if (ended_)
        return;
    helper_.write(request.data(), qint64(request.size()));
    helper_.closeWriteChannel();
}

QString PrintProcess::installedHelper()
{
    const QString here = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    for (const QString &path : {here + QStringLiteral(SOLVARA_HELPER_FROM_BINDIR),
                                here + QLatin1String(kPrintHelperName)}) {
        const QFileInfo helper(path);
        if (helper.isFile() && helper.isExecutable())
            return helper.absoluteFilePath();
    }
    return {};
}

void PrintProcess::parseOutput()
{
    while (helper_.canReadLine()) {
        const QByteArray line = helper_.readLine().trimmed();
        if (line.startsWith("job ") && line.endsWith(" created"))
            jobId_ = line.mid(4, line.size() - 12).toInt();
        else if (line == "done")
            verdict_ = PrintOutcome::Sent;
        else if (line == "failed")
            verdict_ = PrintOutcome::Failed;
    }
}

void PrintProcess::readHelper()
{
    parseOutput();
    if (verdict_)
        finish(true);
}

void PrintProcess::finish(bool tell)
{
    if (ended_)
        return;
    ended_ = true;
    clock_.stop();
    if (helper_.state() != QProcess::NotRunning) {
        helper_.kill();
        helper_.waitForFinished(1000); // a killed process ends at once
    }
    parseOutput();
    const PrintOutcome outcome = verdict_.value_or(PrintOutcome::Failed);
    // A helper that said "failed" withdrew its job itself; one that was
    // killed or died before its verdict leaves the job to a helper of its
    // own, which the window does not wait for: it gives up by itself.
    if (!verdict_ && jobId_ > 0)
        QProcess::startDetached(program_, {QStringLiteral("--cancel"), QString::number(jobId_)});
    if (tell)
        emit finished(outcome);
}

} // namespace solvara
