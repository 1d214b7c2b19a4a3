#pragma once

#include "form.h"

#include <QMessageBox>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace solvara {
class Printer;
}

// The one window: latitude, fourteen declinations, the 14 x 8 table of
// altitudes, the presets, reset and print buttons. Its controls hold every
// value the program knows; the handlers read their texts, call the sundial
// logic and write texts back.
class MainForm : public QWidget, public solvara::Form {
    Q_OBJECT

public:
    using PrinterFactory = std::function<std::unique_ptr<solvara::Printer>()>;

    explicit MainForm(QWidget *parent = nullptr);
    ~MainForm() override;

    std::string text(std::string_view box) const override;
    void setText(std::string_view box, std::string_view text) override;
    void setCaption(std::string_view label, std::string_view caption) override;

    // The control with this name, or nullptr.
    QWidget *control(std::string_view name) const;

    // Where "Stampa" sends the page; the system's default printer unless
    // replaced.
    void setPrinterFactory(PrinterFactory factory);

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

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

    std::map<std::string, QWidget *, std::less<>> controls_;
    PrinterFactory printerFactory_;
    bool loaded_ = false;
};
