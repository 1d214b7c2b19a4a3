// "Stampa" on the real window, handed to the print helper. Whatever a print
// server does, the message comes within 20 s of the click and the window works
// afterwards (the second test); while a print is handed over no handler runs, from any source,
// and the window does not change on screen; however the window ends during a
// print, the helper withdraws its job.
#include "fake_print_server.h"
#include "memory_form.h"
#include "page_request.h"
#include "pdf_words.h"
#include "print_process.h"
#include "window_helpers.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <tuple>

#include <fcntl.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using solvara::PrintOutcome;
using solvara::PrintProcess;
using solvara::reasonLine;

// A print server that keeps the helper waiting where the helper's own limits
// do not reach: a mode of fake_print_server.py, or AcceptsBehindASlowName, the
// server reached by a name that takes 25 s to resolve.
class PrintServerFault : public testing::TestWithParam<const char *> {};

TEST_P(PrintServerFault, ErrorWithinTwentySecondsOfTheClick)
{
    const std::string fault = GetParam();
    const bool slowName = fault == "AcceptsBehindASlowName";
    FakePrintServer server(slowName ? "Accepts" : GetParam(), 60s);
    const QByteArray sanitizer = qgetenv("ASAN_OPTIONS");
    if (slowName) { // for the helper only: this process has started
        qputenv("CUPS_SERVER", server.address().replace("127.0.0.1", "slow.print.test"));
        qputenv("LD_PRELOAD", SOLVARA_SLOW_RESOLVER);
        // A helper built with AddressSanitizer takes the resolver loaded first.
        qputenv("ASAN_OPTIONS", sanitizer + ":verify_asan_link_order=0");
    }
    PrintingWindow window;
    const qint64 ms = window.printAndTime(fault);
    qunsetenv("LD_PRELOAD");
    qputenv("ASAN_OPTIONS", sanitizer);
    EXPECT_TRUE(ms >= 0 && ms <= 20000) << ms;
    EXPECT_EQ(window.catcher.seen(),
              std::vector{q("3 Solvara: Errore nella procedura di stampa / Il server di stampa "
                            "non ha risposto entro 20 secondi.")});
    EXPECT_EQ(server.told("operation 0x0005"), 0); // no job was created
}

INSTANTIATE_TEST_SUITE_P(Stalls, PrintServerFault,
                         testing::Values("Busy", "Trickle", "ClosesThenFull",
                                         "AcceptsBehindASlowName"),
                         [](const auto &info) { return std::string(info.param); });

// A print under way (the server never answers, the helper gives up after its
// own 5 s): the window looks as it did, presses and text sets through the
// accessibility bus and keys change nothing and start nothing, a note comes
// after half a second; after the one message the window works, and a server
// that takes the page gets it.
TEST(PrintWindow, DuringAPrintNothingRunsOrChangesThenItPrints)
{
    FakePrintServer silent("Silent", 30s);
    PrintingWindow window;
    MainForm &form = window.form;
    form.control("Command1")->setFocus();
    QTest::qWait(100);
    const QImage before = form.grab().toImage();

    std::vector<std::string> seen;
    QTimer::singleShot(300, &form, [&] {
        seen.push_back(form.grab().toImage() == before ? "unchanged" : "changed");
        for (const char *name :
             {"Command1", "Azzera", "Command2", "Command4", "Calcola", "Lat", "x1"})
            actByAccessibility(form.control(name));
        QTest::keyClicks(form.control("dcl1a"), "12");
    });
    QTimer::singleShot(800, &form, [&] {
        std::string note = "no note";
        for (const QLabel *l : form.findChildren<QLabel *>())
            if (l->text() == q("Invio alla stampante…") && l->isVisible())
                note = l->window()->windowFlags() & Qt::WindowCloseButtonHint ? "closable" : "note";
        seen.push_back(note);
        const QCursor *cursor = QGuiApplication::overrideCursor();
        seen.push_back(cursor && cursor->shape() == Qt::WaitCursor ? "wait" : "arrow");
        seen.push_back(form.text("Lat") + " " + form.text("dcl1a") + " " + form.text("x1"));
    });
    const qint64 failedMs = window.printAndTime("server silent", true);
    EXPECT_TRUE(failedMs >= 0 && failedMs <= 20000) << failedMs;
    EXPECT_EQ(seen, (std::vector<std::string>{"unchanged", "note", "wait", "38,1217 0 0"}));
    QTest::qWait(300); // a late press would have come by now
    EXPECT_EQ(window.catcher.seen(),
              std::vector{q("3 Solvara: Errore nella procedura di stampa / "
                            "Il server di stampa non ha risposto in tempo.")});
    EXPECT_EQ(silent.told("connection"), 1); // one helper: no second print
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    actByAccessibility(form.control("Azzera"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.text("Lat") == "0"; }, 1000));

    // A refused box's message, then a print again: each holds the boxes anew
    // (read-only, their texts kept), and after them typing works again.
    auto *box = qobject_cast<QLineEdit *>(form.control("dcl1a"));
    std::vector<bool> held;
    const auto typeInto = [&] { held.push_back(box->isReadOnly()), QTest::keyClicks(box, "5"); };
    form.setText("Lat", "trenta");
    window.catcher.whileOpen = [&] { return typeInto(), false; };
    QTest::mouseClick(form.control("Calcola"), Qt::LeftButton);
    window.catcher.whileOpen = nullptr;
    EXPECT_EQ(form.text("dcl1a"), "0");
    FakePrintServer accepts("Accepts", 30s);
    form.setText("dc5a", "-23,44 N"); // the last box the page reads, with a blank
    QTimer::singleShot(0, &form, typeInto);
    const qint64 sentMs = window.printAndTime("server takes the page");
    EXPECT_EQ(form.text("dcl1a") + " " + form.text("dc5a"), "0 -23,44 N");
    QTest::keyClicks(box, "5");
    EXPECT_EQ(held, std::vector({true, true})) << form.text("dcl1a");
    EXPECT_EQ(form.text("dcl1a"), "05");
    EXPECT_TRUE(sentMs >= 0 && sentMs <= 5000) << sentMs;
    EXPECT_EQ(window.catcher.seen().back(), q("1 Solvara: Stampa inviata"));
    EXPECT_EQ(accepts.told("operation 0x0005"), 1);
    // The window's text on the page (its places: the page's tests).
    EXPECT_TRUE(readPdf(accepts.document()).find(q("-23,44")));
    // Nobody withdraws the job the server confirmed.
    EXPECT_FALSE(QTest::qWaitFor([&] { return accepts.told("operation 0x0008") > 0; }, 500));
}

// The window's side of the helper, with cat for a helper that says back what
// it is told: its verdict ends the print at once, with the reason it gave (cut
// to fit a line), a line over 256 bytes or more than 4 kB in all fail it, and
// a helper that cannot be run or ends without a verdict fails it at once; the
// reason tells which. A helper holds none of the window's descriptors but its
// input, output and error.
TEST(PrintProcess, TheHelperSaysLittleAndHoldsNothingOfTheWindow)
{
    const QString garbled = q("Il programma di stampa (/bin/cat) ha dato una risposta non valida.");
    const std::tuple<const char *, std::string, PrintOutcome, QString> rows[] = {
        {"/bin/cat", "job 1 created\ndone\n", PrintOutcome::Sent, ""},
        {"/bin/cat", reasonLine("\n" + QString(300, u'è').toStdString()) + "\nfailed\n",
         PrintOutcome::Failed, " " + QString(122, u'è') + q("…")},
        {"/bin/cat", std::string(257, 'x') + "\ndone\n", PrintOutcome::Failed, garbled},
        {"/bin/cat", QByteArray("job 1 created\n").repeated(300).toStdString() + "done\n",
         PrintOutcome::Failed, garbled},
        {"/nonexistent/solvara-print", "", PrintOutcome::Failed,
         q("Il programma di stampa (/nonexistent/solvara-print) non è partito.")},
        {"/bin/true", "", PrintOutcome::Failed,
         q("Il programma di stampa (/bin/true) si è interrotto.")},
    };
    for (const auto &[helper, says, outcome, reason] : rows) {
        PrintProcess print(q(helper));
        std::vector<std::pair<PrintOutcome, QString>> told;
        QObject::connect(
            &print, &PrintProcess::finished, &print,
            [&](PrintOutcome said, const QString &why) { told.emplace_back(said, why); });
        print.start(says);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !told.empty(); }, 5000)
                    && (told == std::vector{std::pair{outcome, reason}}))
            << helper << " " << says.substr(0, 30);
    }

    // Left open without close-on-exec, as a library might leave one.
    const int windowOnly = ::open("/dev/null", O_RDONLY);
    const QByteArray pid = QByteArray::number(::getpid()); // to find the helper by
    qputenv("SOLVARA_HELPER_OF", pid);
    PrintProcess print(q("/bin/cat")); // waits for more, saying nothing
    print.start("");
    qunsetenv("SOLVARA_HELPER_OF");
    std::filesystem::path helper;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            for (const auto &process : std::filesystem::directory_iterator("/proc"))
                if (QFile environment(process.path() / "environ");
                    environment.open(QIODevice::ReadOnly)
                    && environment.readAll().split('\0').contains("SOLVARA_HELPER_OF=" + pid))
                    helper = process.path();
            return !helper.empty();
        },
        2000));
    // Every descriptor of the helper's beyond 0-2 is its own, opened after
    // its start and so closed on exec (the loader holds one for a moment, a
    // preloaded library such as libfaketime keeps one); one of the window's
    // could only have come through exec without that flag.
    const auto inherited = [&helper] {
        std::set<int> fds;
        for (const auto &fd : std::filesystem::directory_iterator(helper / "fd")) {
            std::ifstream info(helper / "fdinfo" / fd.path().filename());
            int flags = O_CLOEXEC; // as if gone meanwhile
            for (std::string key; info >> key && key != "flags:";) {}
            info >> std::oct >> flags;
            if (const int n = std::stoi(fd.path().filename()); n > 2 && (flags & O_CLOEXEC) == 0)
                fds.insert(n);
        }
        return fds;
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return inherited().empty(); }, 2000))
        << testing::PrintToString(inherited());
    EXPECT_EQ(std::filesystem::read_symlink(helper / "fd/2"),
              std::filesystem::read_symlink("/proc/self/fd/2"));
    ::close(windowOnly);
}

// The helper told to end while the window still writes the request ends
// within a second. A window gone the moment after the server confirmed the
// page (the helper slowed just there) leaves the job printed, not withdrawn.
TEST(PrintHelper, EndsWhenToldWhileReadingAndKeepsAConfirmedJob)
{
    QProcess helper;
    helper.start(q(SOLVARA_PRINT_HELPER), {});
    ASSERT_TRUE(helper.waitForStarted(5000));
    helper.write("1000\nLat 7\n38,"); // its input held open
    QTest::qWait(200);
    const auto pid = pid_t(helper.processId());
    ASSERT_TRUE(pid > 0 && helper.state() == QProcess::Running) << "the helper had already ended";
    ::kill(pid, SIGTERM);
    EXPECT_TRUE(helper.waitForFinished(1000)) << "the helper still reads its request";

    FakePrintServer server("Accepts", 30s);
    const QByteArray sanitizer = qgetenv("ASAN_OPTIONS");
    qputenv("LD_PRELOAD", SOLVARA_SLOW_CONFIRMATION);
    qputenv("ASAN_OPTIONS", sanitizer + ":verify_asan_link_order=0");
    auto print = std::make_unique<PrintProcess>(q(SOLVARA_PRINT_HELPER));
    print->start(solvara::pageRequest(solvara::MemoryForm()));
    qunsetenv("LD_PRELOAD");
    qputenv("ASAN_OPTIONS", sanitizer);
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.told("operation 0x0006") == 1; }, 10000));
    print.reset(); // the window gone: the helper's input ends
    EXPECT_FALSE(QTest::qWaitFor([&] { return server.told("operation 0x0008") > 0; }, 3000));
}

// However the window ends while the server holds its job and the helper
// waits for the answer to the page (closed, its event loop left, told to end,
// killed, or its X server gone), or while the job is being created, it ends within 2 s of being
// told, and the helper withdraws the job within 3 s: the server sees the cancel and every
// connection closed. A job the server creates after the print failed (its
// creation answered 6 s late, the window waiting or gone) is withdrawn once
// the answer comes.
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
        {"SIGKILL", "LateJob", "operation 0x0005"},
        {"waiting", "LateJob", "operation 0x0005"},
    };
    for (const auto &[way, mode, endsAfter] : rows) {
        FakePrintServer server(mode, 30s);
        QProcess display, window;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
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
        if (way.starts_with("SIG")) {
            // Only the window this test started, and only while it runs: an
            // ended QProcess gives pid 0, and kill(0) signals this test's
            // whole process group (ctest and whatever started it).
            const auto pid = pid_t(window.processId());
            ASSERT_TRUE(pid > 0 && window.state() == QProcess::Running)
                << way << ": the window had already ended, before it could be signalled";
            ::kill(pid, way == "SIGTERM" ? SIGTERM : SIGKILL);
        } else if (way == "X server gone")
            display.kill();
        else if (way != "waiting")
            window.write(way.data(), qint64(way.size()));
        EXPECT_TRUE(
            way == "waiting"
            || QTest::qWaitFor([&] { return window.state() == QProcess::NotRunning; }, 2000))
            << way;
        const qint64 endedMs = sinceTold.elapsed();
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return server.told("operation 0x0008") == 1
                    && server.told("closed") == server.told("connection");
            },
            std::string_view(mode) == "LateJob" ? 9000 : 3000))
            << way << " " << mode;
        std::cout << way << " after " << endsAfter << ": ended in " << endedMs
                  << " ms, its job withdrawn in " << sinceTold.elapsed() << " ms\n";
    }
}

} // namespace
