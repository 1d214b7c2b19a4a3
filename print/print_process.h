#pragma once

#include "print_table.h"

#include <QObject>
#include <QProcess>
#include <QTimer>

#include <optional>
#include <string>

namespace solvara {

// One press of "Stampa" handed over to the print helper, a program of its own
// that talks to CUPS. The window never waits on the print system itself: a
// name that resolves slowly, a busy server that libcups retries, an answer
// that trickles in, all keep only the helper waiting, and the helper is killed
// when the window's clock runs out (kHelperLimit from start(), leaving time to
// show the message within kPrintLimit). The helper dies with the window
// whatever ends it.
//
// The helper says on its output "job N created" once the server holds a job,
// then "done" once the server confirmed the page for that job, or "failed"
// after it withdrew the job itself.
class PrintProcess final : public QObject {
    Q_OBJECT

public:
    explicit PrintProcess(QString helper, QObject *parent = nullptr);
    // Ends a print still running: the helper is killed at once and a job it
    // created is withdrawn by a helper of its own (bounded by kCancelLimit);
    // nothing here waits on the print system.
    ~PrintProcess() override;
    PrintProcess(const PrintProcess &) = delete;
    PrintProcess &operator=(const PrintProcess &) = delete;

    // Starts the helper with the page's texts (pageRequest) and the clock.
    // finished follows, once, from the event loop.
    void start(const std::string &request);

    // Where the print helper is: beside the program, or in the libexec folder
    // the package installs it to; empty when neither is there.
    static QString installedHelper();

signals:
    // Sent only when the helper reported the page confirmed for its job.
    void finished(solvara::PrintOutcome outcome);

private:
    void parseOutput();
    void readHelper();
    // Stops the clock and the helper (killed if still running); tell: emit
    // finished.
    void finish(bool tell);

    QString program_;
    QProcess helper_;
    QTimer clock_;
    int jobId_ = 0;
    std::optional<PrintOutcome> verdict_; // the helper's last word
    bool ended_ = false;
};

} // namespace solvara
