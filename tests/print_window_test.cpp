// "Stampa" on the real window, handed to the print helper. Whatever a print
// server does, the message comes within 20 s of the click and the window works
// afterwards (the second test); while a print is handed over no handler runs, from any source,
// and the window does not change on screen; however the window ends during a
// print, the helper withdraws its job.
#include "fake_print_server.h"
#include "mainform.h"
#include "message_catcher.h"
#include "pdf_words.h"
#include "print_process.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <csignal>
#include <filesystem>
#include <functional>
#include <iostream>
#include <set>

#include <fcntl.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using solvara::PrintOutcome;
using solvara::PrintProcess;

QString q(const char *s) { return QString::fromUtf8(s); }

// What a screen reader or voice control does through the accessibility bus.
void pressByAccessibility(QWidget *button)
{
    QAccessible::queryAccessibleInterface(button)->actionInterface()->doAction(
        QAccessibleActionInterface::pressAction());
}

class PrintingWindow {
public:
    MainForm form;
    MessageCatcher catcher;

    PrintingWindow()
    {
        form.setPrintHelper(q(SOLVARA_PRINT_HELPER));
        form.show();
    }
    QPushButton *button(const char *name)
    {
        return qobject_cast<QPushButton *>(form.control(name));
    }
    // Milliseconds from now to the print's message, or -1 if none came in 25 s.
    qint64 printAndTime(const std::function<void()> &press)
    {
        QElapsedTimer clock;
        clock.start();
        const std::size_t before = catcher.seen().size();
        press();
        return QTest::qWaitFor([&] { return catcher.seen().size() > before; }, 25000)
            ? clock.elapsed()
            : -1;
    }
    QString lastMessage() const
    {
        const auto &m = catcher.seen().back();
        return m.title + ": " + m.text + QString::number(m.icon);
    }
};

struct ServerFault {
    const char *name;
    const char *mode;
    bool slowName; // the server reached by a name that takes 25 s to resolve
};

void PrintTo(const ServerFault &fault, std::ostream *out) { *out << fault.name; }

class PrintServerFault : public testing::TestWithParam<ServerFault> {};

TEST_P(PrintServerFault, ErrorWithinTwentySecondsOfTheClick)
{
    const ServerFault &fault = GetParam();
    FakePrintServer server(fault.mode, 60s);
    const QByteArray port = server.address().mid(server.address().indexOf(':'));
    qputenv("CUPS_SERVER", fault.slowName ? "slow.print.test" + port : server.address());
    if (fault.slowName)
        qputenv("LD_PRELOAD",
                SOLVARA_SLOW_RESOLVER); // for the helper only: this process has started
    PrintingWindow window;
    const qint64 ms =
        window.printAndTime([&] { QTest::mouseClick(window.button("Command1"), Qt::LeftButton); });
    qunsetenv("LD_PRELOAD");
    qunsetenv("CUPS_SERVER");
    std::cout << fault.name << ": the message " << ms
              << " ms after the click\n"; // reported every run
    ASSERT_GE(ms, 0) << "no message";
    EXPECT_LE(ms, 20000);
    EXPECT_EQ(window.lastMessage(), q("Solvara: Errore nella procedura di stampa3"));
    EXPECT_EQ(window.catcher.seen().size(), 1u);
    EXPECT_EQ(server.told("operation 0x0005"), 0); // no job was created
}

INSTANTIATE_TEST_SUITE_P(
    Stalls, PrintServerFault,
    testing::Values(ServerFault{"every printer query busy", "Busy", false},
                    ServerFault{"an answer a byte every 50 ms", "Trickle", false},
                    ServerFault{"one answer, then its queue full", "ClosesThenFull", false},
                    ServerFault{"a name that takes 25 s to resolve", "Accepts", true}),
    [](const auto &info) {
        return std::string(info.param.mode) + (info.param.slowName ? "BehindASlowName" : "");
    });

// A print under way (the server never answers, the helper gives up after its
// own 5 s): the window looks as it did, presses and text sets through the
// accessibility bus and keys change nothing and start nothing, a note comes
// after half a second; after the one message the window works, and a server
// that takes the page gets it.
TEST(PrintWindow, DuringAPrintNothingRunsOrChangesThenItPrints)
{
    FakePrintServer silent("Silent", 30s);
    qputenv("CUPS_SERVER", silent.address());
    PrintingWindow window;
    MainForm &form = window.form;
    window.button("Command1")->setFocus();
    QTest::qWait(100);
    const QImage before = form.grab().toImage();

    std::vector<std::string> seen;
    QTimer::singleShot(300, &form, [&] {
        seen.push_back(form.grab().toImage() == before ? "unchanged" : "changed");
        for (const char *name : {"Command1", "Azzera", "Command2", "Command4", "Calcola"})
            pressByAccessibility(form.control(name));
        QAccessible::queryAccessibleInterface(form.control("Lat"))
            ->editableTextInterface()
            ->replaceText(0, 7, q("45"));
        QAccessible::queryAccessibleInterface(form.control("x1"))
            ->editableTextInterface()
            ->insertText(0, q("9"));
        QTest::keyClicks(form.control("dcl1a"), "12");
    });
    QTimer::singleShot(800, &form, [&] {
        const auto labels = form.findChildren<QLabel *>();
        const auto note = std::find_if(labels.begin(), labels.end(), [](const QLabel *l) {
            return l->text() == q("Invio alla stampante…") && l->isVisible();
        });
        seen.push_back(note == labels.end() ? "no note"
                           : (*note)->window()->windowFlags() & Qt::WindowCloseButtonHint
                           ? "closable note"
                           : "note");
        const QCursor *cursor = QGuiApplication::overrideCursor();
        seen.push_back(cursor && cursor->shape() == Qt::WaitCursor ? "wait" : "arrow");
        seen.push_back(form.text("Lat") + " " + form.text("dcl1a") + " " + form.text("x1"));
    });
    const qint64 failedMs =
        window.printAndTime([&] { QTest::keyClick(window.button("Command1"), Qt::Key_Space); });
    std::cout << "server silent: the message " << failedMs << " ms after the click\n";
    EXPECT_TRUE(failedMs >= 0 && failedMs <= 20000) << failedMs;
    EXPECT_EQ(seen, (std::vector<std::string>{"unchanged", "note", "wait", "38,1217 0 0"}));
    QTest::qWait(300); // a late press would have come by now
    ASSERT_EQ(window.catcher.seen().size(), 1u);
    EXPECT_EQ(window.lastMessage(), q("Solvara: Errore nella procedura di stampa3"));
    EXPECT_EQ(silent.told("connection"), 1); // one helper: no second print
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    pressByAccessibility(form.control("Azzera"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.text("Lat") == "0"; }, 1000));

    FakePrintServer accepts("Accepts", 30s);
    qputenv("CUPS_SERVER", accepts.address());
    form.setText("dc5a", "-23,44 N"); // the last box the page reads, with a blank
    const qint64 sentMs =
        window.printAndTime([&] { QTest::mouseClick(window.button("Command1"), Qt::LeftButton); });
    qunsetenv("CUPS_SERVER");
    std::cout << "server takes the page: the message " << sentMs << " ms after the click\n";
    EXPECT_TRUE(sentMs >= 0 && sentMs <= 5000) << sentMs;
    EXPECT_EQ(window.lastMessage(), q("Solvara: Stampa inviata1"));
    EXPECT_EQ(accepts.told("operation 0x0005"), 1);
    EXPECT_TRUE(readPdf(accepts.document())
                    .find(q("-23,44"))); // the window's text (places: the page's tests)
    // Nobody withdraws the job the server confirmed.
    EXPECT_FALSE(QTest::qWaitFor([&] { return accepts.told("operation 0x0008") > 0; }, 500));
}

// The window's side of the helper, with cat for a helper that says back what
// it is told: its verdict ends the print at once, a line over 256 bytes or
// more than 4 kB in all fail it, and a helper that cannot be run fails it at
// once. A helper holds none of the window's descriptors but its input, output
// and error.
TEST(PrintProcess, TheHelperSaysLittleAndHoldsNothingOfTheWindow)
{
    const struct {
        const char *helper;
        std::string says;
        PrintOutcome outcome;
    } rows[] = {
        {"/bin/cat", "job 1 created\ndone\n", PrintOutcome::Sent},
        {"/bin/cat", std::string(257, 'x') + "\ndone\n", PrintOutcome::Failed},
        {"/bin/cat", QByteArray("job 1 created\n").repeated(300).toStdString() + "done\n",
         PrintOutcome::Failed},
        {"/nonexistent/solvara-print", "", PrintOutcome::Failed},
    };
    for (const auto &row : rows) {
        PrintProcess print(q(row.helper));
        std::vector<PrintOutcome> told;
        QObject::connect(&print, &PrintProcess::finished, &print,
                         [&](PrintOutcome outcome) { told.push_back(outcome); });
        print.start(row.says);
        const bool inTime = QTest::qWaitFor([&] { return !told.empty(); }, 1000);
        EXPECT_TRUE(inTime && told == std::vector{row.outcome})
            << row.helper << " " << row.says.substr(0, 30);
    }

    // Left open without close-on-exec, as a library might leave one.
    const int windowOnly = ::open("/dev/null", O_RDONLY);
    const QByteArray mark = QByteArray::number(::getpid()); // to find the helper by
    qputenv("SOLVARA_HELPER_OF", mark);
    PrintProcess print(q("/bin/cat")); // waits for more, saying nothing
    print.start("");
    qunsetenv("SOLVARA_HELPER_OF");
    std::filesystem::path helper;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            for (const auto &process : std::filesystem::directory_iterator("/proc")) {
                QFile environment(process.path() / "environ");
                if (environment.open(QIODevice::ReadOnly)
                    && environment.readAll().split('\0').contains("SOLVARA_HELPER_OF=" + mark))
                    helper = process.path();
            }
            return !helper.empty();
        },
        2000));
    std::set<int> held;
    for (const auto &fd : std::filesystem::directory_iterator(helper / "fd"))
        held.insert(std::stoi(fd.path().filename()));
    EXPECT_EQ(held, (std::set{0, 1, 2}));
    EXPECT_EQ(std::filesystem::read_symlink(helper / "fd/2"),
              std::filesystem::read_symlink("/proc/self/fd/2"));
    ::close(windowOnly);
}

// However the window ends while the server holds its job and the helper
// waits for the answer to the page (closed, its event loop left, told to end,
// killed, or its X server gone), or while the job is being created, it ends within 2 s of being
// told, and the helper withdraws the job within 3 s: the server sees the cancel and every
// connection closed.
TEST(PrintWindow, HoweverTheWindowEndsDuringAPrintTheJobIsWithdrawn)
{
    const struct {
        std::string way;
        const char *mode = "SwallowsAnswer", *endsAfter = "operation 0x0006";
    } rows[] = {
        {"close"}, // closeEvent, as from the window manager or quitting
        {"exit"}, // the event loop left, the window destroyed
        {"SIGTERM"}, // every window closed, as at a session's end
        {"SIGKILL"},
        {"X server gone"},
        {"SIGKILL", "SlowJob", "operation 0x0005"}, // the job created after
    };
    for (const auto &[way, mode, endsAfter] : rows) {
        FakePrintServer server(mode, 30s);
        QProcess display, window;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(q("CUPS_SERVER"), QString::fromLatin1(server.address()));
        if (way == "X server gone") {
            display.start(q("Xvfb"), {q("-displayfd"), q("1"), q("-nolisten"), q("tcp")});
            ASSERT_TRUE(QTest::qWaitFor([&] { return display.canReadLine(); }, 10000)) << "no Xvfb";
            environment.insert(q("DISPLAY"),
                               ":" + QString::fromLatin1(display.readLine().trimmed()));
            environment.insert(q("QT_QPA_PLATFORM"), q("xcb"));
        }
        window.setProcessEnvironment(environment);
        window.setProcessChannelMode(QProcess::ForwardedChannels);
        window.start(q(SOLVARA_PRINTING_WINDOW), {q(SOLVARA_PRINT_HELPER)});
        ASSERT_TRUE(QTest::qWaitFor([&] { return server.told(endsAfter) == 1; }, 10000)) << way;
        QElapsedTimer sinceTold;
        sinceTold.start();
        if (way == "SIGTERM")
            ::kill(pid_t(window.processId()), SIGTERM);
        else if (way == "SIGKILL")
            window.kill();
        else if (way == "X server gone")
            display.kill();
        else
            window.write(way.data(), qint64(way.size()));
        EXPECT_TRUE(QTest::qWaitFor([&] { return window.state() == QProcess::NotRunning; }, 2000))
            << way;
        const qint64 endedMs = sinceTold.elapsed();
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return server.told("operation 0x0008") == 1
                    && server.told("closed") == server.told("connection");
            },
            3000))
            << way;
        std::cout << way << " after " << endsAfter << ": ended " << endedMs
                  << " ms after it was told, its job withdrawn " << sinceTold.elapsed()
                  << " ms after\n";
    }
}

} // namespace
