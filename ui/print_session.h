#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <memory>
#include <string>

class QWidget;

namespace solvara {
class PrintProcess;
enum class PrintOutcome;
} // namespace solvara

namespace solvara::ui {

// One print at a time, handed from the window to the print helper
// (PrintProcess), and what the window shows meanwhile: a print that takes
// longer than half a second shows the wait cursor and a note over the window,
// "Invio alla stampante…", which has no close button and takes no input from
// the window; a quick one changes nothing on screen. A print ends when its
// outcome comes, when it is told to, when the session is destroyed and when
// the program quits; the cursor and the note go with it.
class PrintSession final : public QObject {
    Q_OBJECT

public:
    // window: the one the note stands over; it outlives the session.
    explicit PrintSession(QWidget &window);
    ~PrintSession() override;
    PrintSession(const PrintSession &) = delete;
    PrintSession &operator=(const PrintSession &) = delete;

    // The program the page is handed to.
    void setHelper(QString program);
    // Whether a print is handed over and its outcome not yet told.
    bool running() const { return print_ != nullptr; }
    // Hands the page's texts (pageRequest) to the helper, ending a print
    // still running first. finished follows, once, from the event loop,
    // unless the print is ended before.
    void start(const std::string &request);
    // Ends the print in progress, if any, as PrintProcess ends one, and what
    // shows it; its finished never comes.
    void end();

signals:
    // reason: why a print failed, in a sentence for the message; empty for
    // one sent.
    void finished(solvara::PrintOutcome outcome, const QString &reason);

private:
    void showBusy();

    QWidget &window_;
    QString helper_;
    std::unique_ptr<PrintProcess> print_;
    unsigned number_ = 0; // tells a finished print's late news from the current one's
    QTimer busy_;
    QPointer<QWidget> note_;
    bool waitCursor_ = false;
};

} // namespace solvara::ui
