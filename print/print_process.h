#pragma once

#include "print_table.h"

#include <QObject>
#include <QTimer>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace solvara {

// One press of "Stampa" handed over to the print helper, a program of its own
// that talks to CUPS. The window never waits on the print system nor on the
// helper: a name that resolves slowly, a busy server that libcups retries, an
// answer that trickles in, all keep only the helper waiting, and the window
// walks away from it when its clock runs out (kHelperLimit from start(),
// leaving time to show the message within kPrintLimit).
//
// The helper reads the request (framedRequest) on its input, which the window
// keeps open until the print ends. It says on its output "job N created" once
// the server holds a job, then "done" once the server confirmed the page for
// that job, or "failed" after it withdrew the job itself, after a line that
// tells why (reasonLine) when it knows. The job is the
// helper's to withdraw: when its input ends before its verdict, however the
// window ended, it withdraws the job and ends (print_helper.cpp).
class PrintProcess final : public QObject {
    Q_OBJECT

public:
    explicit PrintProcess(QString helper, QObject *parent = nullptr);
    // Ends a print still running by closing the helper's input: the helper
    // withdraws its job and ends by itself, and nothing here waits for it.
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
    // reason: for a failure, why, in a sentence for the message (as the
    // helper told it, or what the window saw of the helper); empty for Sent.
    void finished(solvara::PrintOutcome outcome, const QString &reason);

private:
    // The window's end of the running helper's input and output.
    struct Helper;

    void writeRequest();
    void readHelper();
    // Takes in what the helper said, line by line: its verdict, or a failure
    // when it says too much.
    void hear(std::string_view bytes);
    // Stops the clock and lets the helper go; tell: emit finished, for a
    // failure with the helper's reason, or else cause.
    void finish(bool tell, const QString &cause = {});

    QString program_;
    std::unique_ptr<Helper> helper_;
    QTimer clock_;
    std::string request_; // framed; what is left of it to write
    QByteArray line_; // what the helper has said of its current line
    std::size_t heard_ = 0; // how much it has said in all
    std::optional<PrintOutcome> verdict_; // the helper's last word
    QString reason_; // why the print failed, as the helper told it
    bool ended_ = false;
};

} // namespace solvara
