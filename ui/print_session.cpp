#include "print_session.h"

#include "print_process.h"

#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

#include <chrono>

namespace solvara::ui {

namespace {

// A print that takes longer than this shows that the window is busy.
constexpr std::chrono::milliseconds kPrintBusyDelay{500};

} // namespace

PrintSession::PrintSession(QWidget &window)
    : window_(window)
    , helper_(PrintProcess::installedHelper())
{
    busy_.setSingleShot(true);
    connect(&busy_, &QTimer::timeout, this, &PrintSession::showBusy);
    // Quitting without closing the window (an exit from a signal) also ends
    // a print.
    connect(qApp, &QCoreApplication::aboutToQuit, this, &PrintSession::end);
}

PrintSession::~PrintSession() { end(); }

void PrintSession::setHelper(QString program) { helper_ = std::move(program); }

void PrintSession::start(const std::string &request)
{
    end();
    print_ = std::make_unique<PrintProcess>(helper_);
    connect(
        print_.get(), &PrintProcess::finished, this,
        [this, number = ++number_](PrintOutcome outcome, const QString &reason) {
            if (!print_ || number != number_)
                return;
            end();
            emit finished(outcome, reason);
        },
        Qt::QueuedConnection);
    busy_.start(kPrintBusyDelay);
    print_->start(request);
}

void PrintSession::end()
{
    print_.reset(); // ends a helper still running
    busy_.stop();
    if (note_)
        note_->hide();
    if (waitCursor_)
        QGuiApplication::restoreOverrideCursor();
    waitCursor_ = false;
}

void PrintSession::showBusy()
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    waitCursor_ = true;
    if (!note_) {
        note_ = new QWidget(&window_, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
        note_->setWindowTitle(QStringLiteral("Solvara"));
        auto *layout = new QVBoxLayout(note_);
        layout->addWidget(new QLabel(QStringLiteral("Invio alla stampante…"), note_));
    }
    note_->show();
}

} // namespace solvara::ui
