#pragma once

#include <QByteArray>
#include <QProcess>
#include <QTemporaryDir>

#include <chrono>

// A print server on 127.0.0.1 that misbehaves as network print servers do
// (fake_print_server.py tells how). It ends by itself once its lifetime is
// over, at the latest when this is destroyed.
class FakePrintServer {
public:
    enum class Mode {
        Full, Silent, Trickle, AsksPassword, StallsPage, Accepts, SwallowsAnswer, WrongJob,
        RefusesJobs
    };

    explicit FakePrintServer(Mode mode, std::chrono::seconds lifetime = std::chrono::seconds(60))
    {
        const char *names[] = {"Full",       "Silent",  "Trickle",        "AsksPassword",
                               "StallsPage", "Accepts", "SwallowsAnswer", "WrongJob",
                               "RefusesJobs"};
        server_.start("python3", {SOLVARA_FAKE_PRINT_SERVER, names[int(mode)],
                                  QString::number(lifetime.count()), document()});
        while (!heard_.contains('\n') && server_.waitForReadyRead(5000))
            heard_ += server_.readAllStandardOutput();
        port_ = heard_.left(heard_.indexOf('\n'));
    }
    ~FakePrintServer()
    {
        server_.closeWriteChannel(); // it ends when its input does
        server_.waitForFinished(5000);
    }
    FakePrintServer(const FakePrintServer &) = delete;
    FakePrintServer &operator=(const FakePrintServer &) = delete;

    // Where CUPS_SERVER points to reach it: "127.0.0.1:PORT".
    QByteArray address() const { return "127.0.0.1:" + port_; }
    // How often it has said this line so far: "connection", "password" or
    // "operation 0x0008" (a job cancelled), for instance.
    int told(const QByteArray &line) const { return int(heardUpToNow().count(line + '\n')); }
    // Where the last page it took is kept while this lives.
    QString document() const { return dir_.filePath(QStringLiteral("page.pdf")); }

private:
    // All it has said, up to its answer to a question asked now.
    const QByteArray &heardUpToNow() const
    {
        server_.write("?\n");
        for (++asked_; (heard_ += server_.readAllStandardOutput()).count("sync\n") < asked_;)
            if (!server_.waitForReadyRead(5000))
                break;
        return heard_;
    }

    QTemporaryDir dir_;
    mutable QProcess server_;
    mutable QByteArray heard_;
    mutable qsizetype asked_ = 0;
    QByteArray port_;
};
