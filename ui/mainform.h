#pragma once

#include "form.h"
#include "print_session.h"

#include <QMessageBox>
#include <QWidget>

#include <map>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;

// The one window: latitude, fourteen declinations, the 14 x 8 table of
// altitudes, the presets, reset and print buttons. Its controls hold every
// value the program knows; the handlers read their texts, call the sundial
// logic and write texts back.
class MainForm : public QWidget, public solvara::Form {
    Q_OBJECT

public:
    explicit MainForm(QWidget *parent = nullptr);

    // A name that is not one of the window's boxes (for a caption: labels)
    // is the caller's fault: it reads as empty and is written nowhere, with
    // a warning.
    std::string text(std::string_view name) const override;
    void setText(std::string_view name, std::string_view text) override;
    void setCaption(std::string_view name, std::string_view caption) override;

    // The control with this name, or nullptr.
    QWidget *control(std::string_view name) const;

    // Puts the table on the clipboard as the window shows it (Ctrl+C, and
    // "Copia tabella" on the result cells).
    void copyTableToClipboard() const;

    // The program "Stampa" hands the page to: the print helper beside the
    // program or where the package installs it, unless replaced.
    void setPrintHelper(QString program);

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    // Closing (the window manager's close button, a session's end, quitting)
    // during a print ends the print and closes.
    void closeEvent(QCloseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void Form_Load();
    void Calcola_Click();
    void Azzera_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();

    // Runs a handler unless the window is busy, whoever pressed (mouse, keys,
    // the accessibility bus). The window is busy while a handler runs, its
    // message box included, and while a print is handed over until its
    // message is answered: every other press is then ignored.
    void run(void (MainForm::*handler)());
    void endBusy();
    // Whenever a busy window lets events in (a message box open, a print
    // handed over), every box is read-only and holds its text, whoever tries
    // to change it (keyboard, accessibility bus); only the window's own
    // writes (setText) change it.
    void holdTexts(bool hold);
    void keepHeldText(QLineEdit *box);
    // A failed print's message offers the reason as its details.
    void printFinished(solvara::PrintOutcome outcome, const QString &reason);

    QLineEdit *box(std::string_view name) const;
    QLabel *label(std::string_view name) const;
    // details, when given, behind the box's "Show Details..." button.
    void showMessage(QMessageBox::Icon icon, const QString &message, const QString &details = {});

    std::vector<QWidget *> controls_; // one for each entry of mainFormControls(), in order
    std::map<std::string, QWidget *, std::less<>> named_;
    std::map<const QLineEdit *, QString> held_;
    solvara::ui::PrintSession print_{*this};
    bool loaded_ = false;
    bool busy_ = false;
};
