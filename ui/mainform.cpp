#include "mainform.h"

#include "altitude.h"
#include "box_hint.h"
#include "centraform.h"
#include "face_fitting.h"
#include "form_reset.h"
#include "input_message.h"
#include "layout.h"
#include "page_request.h"
#include "presets.h"
#include "print_table.h"
#include "table_clipboard.h"
#include "text_colours.h"
#include "window_keys.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDebug>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPixmap>
#include <QPushButton>
#include <QShowEvent>

#include <array>
#include <exception>
#include <utility>

using namespace solvara;
using namespace solvara::ui;

namespace {

QRect toPixels(const Twips &t)
{
    return {t.left / kTwipsPerPixel, t.top / kTwipsPerPixel, t.width / kTwipsPerPixel,
            t.height / kTwipsPerPixel};
}

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

QWidget *makeControl(const ControlSpec &entry, QWidget *window)
{
    switch (entry.kind) {
    case ControlKind::Label: {
        auto *label = new QLabel(qs(entry.text), window);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setWordWrap(true);
        label->setTextFormat(Qt::PlainText);
        return label;
    }
    case ControlKind::TextBox: {
        // Made empty and given its text once the faces are fitted: a box lays
        // its text out again on every change of face.
        auto *edit = new QLineEdit(window);
        // Cells and declinations line up on their decimals.
        if (entry.name != kLatitudeBox)
            edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return edit;
    }
    case ControlKind::Button: {
        auto *push = new QPushButton(qs(entry.text), window);
        push->setAutoDefault(false);
        return push;
    }
    }
    return new QWidget(window);
}

// The control so named if it is of this kind; else nullptr and a warning: a
// caller's fault, which must not throw from inside a handler.
template<typename Control>
Control *named(QWidget *control, std::string_view name)
{
    auto *found = qobject_cast<Control *>(control);
    if (!found)
        qWarning().noquote() << "Solvara: no" << Control::staticMetaObject.className() << "named"
                             << qs(name);
    return found;
}

} // namespace

MainForm::MainForm(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QString::fromUtf8(kWindowCaption));
    // Read as the PNG it is: left to guess, the reader would load every
    // image format plugin to ask each of them first.
    QImageReader icon(QStringLiteral(":/icons/solvara.png"), "png");
    icon.setAutoDetectImageFormat(false);
    setWindowIcon(QPixmap::fromImage(icon.read()));
    // A narrow face, so that hour captions such as "07.00 17.00" fit their
    // labels on one line at a readable size; its size is fitted below.
    QFont windowFont(QStringLiteral("Liberation Sans Narrow"));
    windowFont.setPointSizeF(kLargestWindowPoints);
    setFont(windowFont);
    resize(kClientWidthTwips / kTwipsPerPixel, kClientHeightTwips / kTwipsPerPixel);

    for (const ControlSpec &entry : mainFormControls()) {
        QWidget *widget = makeControl(entry, this);
        // Results and the red reminder keep the window's face and size with
        // their stems on whole pixels, so their text colour reaches the screen
        // unfaded.
        if (entry.red || (entry.kind == ControlKind::TextBox && !entry.enabled)) {
            QFont crisp;
            crisp.setHintingPreference(QFont::PreferFullHinting);
            widget->setFont(crisp);
        }
        widget->setObjectName(qs(entry.name));
        widget->setGeometry(toPixels(entry.place));
        if (entry.font != FontRole::Window)
            widget->setFont(fontFor(entry.font, windowFont));
        widget->setEnabled(entry.enabled);
        if (!entry.accessibleName.empty())
            widget->setAccessibleName(qs(entry.accessibleName));
        controls_.push_back(widget);
        named_.emplace(entry.name, widget);
    }

    fitFonts(*this, controls_);
    makeTextReadable(palette(), controls_);
    for (const ControlSpec &entry : mainFormControls())
        if (entry.kind == ControlKind::TextBox && !entry.text.empty())
            setText(entry.name, entry.text);
    auto *keys = new WindowKeys(this, [this] { copyTableToClipboard(); });
    for (QWidget *widget : controls_) {
        widget->installEventFilter(keys);
        if (auto *edit = qobject_cast<QLineEdit *>(widget))
            connect(edit, &QLineEdit::textChanged, this, [this, edit] { keepHeldText(edit); });
    }
    for (int column = 0; column <= kColumns; ++column)
        if (QLineEdit *edit = box(column == 0 ? kLatitudeBox : declinationBox(column)))
            connect(edit, &QLineEdit::textChanged, this,
                    [edit, column] { hintWholeText(*edit, column); });

    const auto &order = tabOrder();
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(control(order[i - 1]), control(order[i]));
    control(order.front())->setFocus();

    const std::pair<const char *, void (MainForm::*)()> handlers[] = {
        {"Calcola", &MainForm::Calcola_Click},   {"Azzera", &MainForm::Azzera_Click},
        {"Command1", &MainForm::Command1_Click}, {"Command2", &MainForm::Command2_Click},
        {"Command3", &MainForm::Command3_Click}, {"Command4", &MainForm::Command4_Click}};
    for (const auto &[name, handler] : handlers)
        if (auto *button = named<QPushButton>(control(name), name))
            connect(button, &QPushButton::clicked, this, [this, h = handler] { run(h); });
    connect(&print_, &PrintSession::finished, this, &MainForm::printFinished);
}

void MainForm::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange)
        makeTextReadable(palette(), controls_);
    QWidget::changeEvent(event);
}

QWidget *MainForm::control(std::string_view name) const
{
    const auto it = named_.find(name);
    return it == named_.end() ? nullptr : it->second;
}

QLineEdit *MainForm::box(std::string_view name) const
{
    return named<QLineEdit>(control(name), name);
}

QLabel *MainForm::label(std::string_view name) const { return named<QLabel>(control(name), name); }

std::string MainForm::text(std::string_view name) const
{
    const QLineEdit *edit = box(name);
    return edit ? edit->text().toStdString() : std::string();
}

void MainForm::setText(std::string_view name, std::string_view text)
{
    if (QLineEdit *edit = box(name)) {
        const QString shown = qs(text);
        // The window's own write: a box held while busy holds the new text.
        if (const auto held = held_.find(edit); held != held_.end())
            held->second = shown;
        edit->setText(shown);
    }
}

void MainForm::setCaption(std::string_view name, std::string_view caption)
{
    if (QLabel *found = label(name))
        found->setText(qs(caption));
}

void MainForm::copyTableToClipboard() const
{
    std::array<std::string, kColumns + 1> headings;
    for (int column = 0; column <= kColumns; ++column)
        if (const QLabel *heading = label(column == 0 ? kCornerLabel : headingLabel(column)))
            headings[std::size_t(column)] = heading->text().toStdString();
    putOnClipboard(copyTable(*this, headings));
}

void MainForm::contextMenuEvent(QContextMenuEvent *event)
{
    // The result cells, disabled, leave their menu to the window.
    const auto *cell = qobject_cast<const QLineEdit *>(childAt(event->pos()));
    if (!cell || cell->isEnabled())
        return QWidget::contextMenuEvent(event);
    QMenu menu(this);
    connect(menu.addAction(QStringLiteral("Copia tabella")), &QAction::triggered, this,
            &MainForm::copyTableToClipboard);
    menu.exec(event->globalPos());
}

void MainForm::setPrintHelper(QString program) { print_.setHelper(std::move(program)); }

void MainForm::showEvent(QShowEvent *event)
{
    if (!loaded_ && !event->spontaneous()) {
        loaded_ = true;
        Form_Load();
    }
    QWidget::showEvent(event);
}

void MainForm::closeEvent(QCloseEvent *event)
{
    if (print_.running()) {
        print_.end();
        endBusy();
    }
    QWidget::closeEvent(event);
}

void MainForm::run(void (MainForm::*handler)())
{
    if (busy_)
        return;
    busy_ = true;
    try {
        (this->*handler)();
    } catch (const std::exception &e) {
        // A fault of the program's own; it must not unwind through Qt's event
        // dispatch, and the window stays usable.
        qCritical("Solvara: %s", e.what());
    } catch (...) {
        qCritical("Solvara: a handler failed");
    }
    if (!print_.running())
        endBusy();
}

void MainForm::endBusy()
{
    holdTexts(false);
    busy_ = false;
}

void MainForm::holdTexts(bool hold)
{
    if (hold == !held_.empty())
        return;
    held_.clear();
    for (QWidget *widget : controls_) {
        if (auto *edit = qobject_cast<QLineEdit *>(widget)) {
            edit->setReadOnly(hold);
            if (hold)
                held_.emplace(edit, edit->text());
        }
    }
}

void MainForm::keepHeldText(QLineEdit *box)
{
    const auto held = held_.find(box);
    if (held != held_.end() && box->text() != held->second)
        box->setText(held->second);
}

void MainForm::showMessage(QMessageBox::Icon icon, const QString &message, const QString &details)
{
    holdTexts(true);
    QMessageBox box(icon, QStringLiteral("Solvara"), message, QMessageBox::Ok, this);
    if (!details.isEmpty())
        box.setDetailedText(details);
    box.exec();
}

void MainForm::Form_Load() { CentraForm::Centra(*this); }

void MainForm::Calcola_Click()
{
    if (const auto error = computeTable(*this)) {
        showMessage(QMessageBox::Critical, QString::fromStdString(inputMessage(*error)));
        if (QLineEdit *refused = box(error->box)) {
            refused->setFocus();
            refused->selectAll();
        }
    }
}

void MainForm::Azzera_Click() { resetForm(*this); }

// Hands the page to the print helper and returns, the window busy: its events
// go on while the print system works, and the message comes when the helper
// has its answer or the window's clock has run out.
void MainForm::Command1_Click()
{
    holdTexts(true);
    print_.start(pageRequest(*this));
}

void MainForm::printFinished(PrintOutcome outcome, const QString &reason)
{
    if (outcome == PrintOutcome::Sent)
        showMessage(QMessageBox::Information, QStringLiteral("Stampa inviata"));
    else
        showMessage(QMessageBox::Critical, QStringLiteral("Errore nella procedura di stampa"),
                    reason);
    endBusy();
}

void MainForm::Command2_Click() { applyPreset(kFifteenDaySteps, *this); }

void MainForm::Command3_Click() { applyPreset(kFiveDegreeSteps, *this); }

void MainForm::Command4_Click() { applyPreset(kFourDegreeSteps, *this); }
