#pragma once

#include "form.h"

#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include <map>
#include <memory>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace solvara {
class PrintProcess;
enum class PrintOutcome;
} // namespace solvara

// The one window: latitude, fourteen declinations, the 14 x 8 table of
// altitudes, the presets, reset and print buttons. Its controls hold every
// value the program knows; the handlers read their texts, call the sundial
// logic and write texts back.
class MainForm : public QWidget, public solvara::Form {
    Q_OBJECT

public:
    explicit MainForm(QWidget *parent = nullptr);
    ~MainForm() override;

    std::string text(std::string_view box) const override;
    void setText(std::string_view box, std::string_view text) override;
    void setCaption(std::string_view label, std::string_view caption) override;

    // The control with this name, or nullptr.
    QWidget *control(std::string_view name) const;

    // The program "Stampa" hands the page to: the print helper beside the
    // program or where the package installs it, unless replaced.
    void setPrintHelper(QString program);

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    // Closing (the window manager's close button, a session's end, quitting)
    // during a print ends the print and closes.
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_Load();
    void Calcola_Click();
    void Azzera_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();

    void fitFonts();
    void makeTextReadable();
    QLineEdit *box(std::string_view name) const;
    QPushButton *button(std::string_view name) const;
    void showMessage(QMessageBox::Icon icon, const QString &message);

    // While a print is handed over and until its message is answered, the
    // window is busy: every handler returns at once, and every box holds the
    // text it had at the click, whoever tries to change it (keyboard,
    // accessibility bus).
    void holdTexts(bool hold);
    void keepHeldText(QLineEdit *box);
    void showPrintBusy();
    // Ends the print in progress, if any, and what shows it.
    void endPrint();
    void printFinished(solvara::PrintOutcome outcome);

    std::map<std::string, QWidget *, std::less<>> controls_;
    QString printHelper_;
    bool loaded_ = false;
    bool busy_ = false;
    std::unique_ptr<solvara::PrintProcess> print_;
    unsigned printNumber_ = 0; // tells a finished print's late news from the current one's
    std::map<const QLineEdit *, QString> held_;
    QTimer printBusy_;
    QWidget *printNote_ = nullptr;
    bool waitCursor_ = false;
};
