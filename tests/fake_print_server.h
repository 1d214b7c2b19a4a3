#pragma once

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <chrono>

// A print server on 127.0.0.1 that misbehaves as network print servers do
// (fake_print_server.py tells how); CUPS_SERVER points to the latest made
// while it lives. It ends by itself once its lifetime is over, at the latest
// when this is destroyed.
class FakePrintServer {
public:
    // mode: one of fake_print_server.py's, "Silent" for instance.
    FakePrintServer(const char *mode, std::chrono::seconds lifetime)
    {
        server_.start("python3",
                      {SOLVARA_FAKE_PRINT_SERVER, QString::fromLatin1(mode),
                       QString::number(lifetime.count()), dir_.path()});
        if (server_.waitForReadyRead(5000))
            port_ = server_.readLine().trimmed();
        qputenv("CUPS_SERVER", address());
    }
    ~FakePrintServer()
    {
        server_.closeWriteChannel(); // it ends when its input does
        server_.waitForFinished(5000);
        qunsetenv("CUPS_SERVER");
    }

    // Where it is: "127.0.0.1:PORT".
    QByteArray address() const { return "127.0.0.1:" + port_; }
    // How often it has noted this line so far: "connection", "password" or
    // "operation 0x0008" (a job cancelled), for instance. Each is noted before
    // the server answers what it notes, so a client that has its answer finds
    // the line here.
    int told(const QByteArray &line) const
    {
        QFile log(dir_.filePath(QStringLiteral("told")));
        return log.open(QIODevice::ReadOnly) ? int(log.readAll().count(line + '\n')) : 0;
    }
    // The last page it took.
    QString document() const { return dir_.filePath(QStringLiteral("page.pdf")); }

private:
    QTemporaryDir dir_;
    QProcess server_;
    QByteArray port_;
};
