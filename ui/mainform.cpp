#include "mainform.h"

#include "altitude.h"
#include "centraform.h"
#include "form_reset.h"
#include "input_message.h"
#include "layout.h"
#include "page_request.h"
#include "presets.h"
#include "print_process.h"
#include "print_table.h"
#include "readable_text.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFont>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <map>
#include <set>
#include <stdexcept>
#include <tuple>
#include <vector>

using namespace solvara;
using namespace solvara::ui;

namespace {

QRect toPixels(const Twips &t)
{
    return {t.left / kTwipsPerPixel, t.top / kTwipsPerPixel, t.width / kTwipsPerPixel,
            t.height / kTwipsPerPixel};
}

QFont fontFor(FontRole role, const QFont &windowFont)
{
    auto bold = [](const char *family, double points) {
        QFont f(QString::fromLatin1(family));
        f.setPointSizeF(points);
        f.setBold(true);
        return f;
    };
    switch (role) {
    case FontRole::Window: return windowFont;
    case FontRole::ArialBold: return bold("Arial", 8.25);
    case FontRole::TitleBold: return bold("Arial", 12);
    case FontRole::TimesBold: return bold("Times New Roman", 8.25);
    // The caption is the Unicode delta and degree sign; a serif face draws
    // them as the Symbol face would, which here has no Unicode delta.
    case FontRole::SymbolBold: return bold("Liberation Serif", 8.25);
    }
    return windowFont;
}

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

// The window's own font at its design size, before it is fitted.
constexpr double kLargestWindowPoints = 8;

// Whether a text stands whole inside its control drawn in this face: a
// label's caption as the label lays it out (wrapped or not), down to the
// baseline of its last line where it takes two (two dates, with nothing
// below the baseline), else to its descent; a box's text without scrolling;
// a button's caption inside its bevel.
bool standsWhole(const QWidget &control, const QString &text, const QFont &face)
{
    const QFontMetrics m(face, &control);
    QStyle *style = control.style();
    if (const auto *label = qobject_cast<const QLabel *>(&control)) {
        const int wrap = label->wordWrap() ? Qt::TextWordWrap : 0;
        const QRect needed = m.boundingRect(label->rect(), int(label->alignment()) | wrap, text);
        const int below = qRound(double(needed.height()) / m.height()) > 1 ? m.descent() : 0;
        return needed.width() <= label->width() && needed.height() - below <= label->height();
    }
    if (const auto *box = qobject_cast<const QLineEdit *>(&control)) {
        QStyleOptionFrame frame;
        frame.initFrom(box);
        frame.rect = box->rect();
        frame.lineWidth = style->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, box);
        const QRect inside = style->subElementRect(QStyle::SE_LineEditContents, &frame, box);
        // The box keeps 2 pixels each side and a pixel for the cursor.
        return m.horizontalAdvance(text) + 1 + std::max(0, -m.minRightBearing())
            <= inside.width() - 4
            && m.height() <= inside.height();
    }
    if (const auto *button = qobject_cast<const QPushButton *>(&control)) {
        QStyleOptionButton bevel;
        bevel.initFrom(button);
        bevel.rect = button->rect();
        const QRect inside = style->subElementRect(QStyle::SE_PushButtonContents, &bevel, button);
        return m.horizontalAdvance(text)
                + style->pixelMetric(QStyle::PM_ButtonMargin, &bevel, button)
            <= inside.width()
            && m.height() <= inside.height();
    }
    return true;
}

// A print that takes longer than this shows that the window is busy; a quick
// one changes nothing on screen.
constexpr std::chrono::milliseconds kPrintBusyDelay{500};

} // namespace

MainForm::MainForm(QWidget *parent)
    : QWidget(parent)
    , printHelper_(PrintProcess::installedHelper())
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
        QWidget *widget = nullptr;
        switch (entry.kind) {
        case ControlKind::Label: {
            auto *label = new QLabel(qs(entry.text), this);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            label->setWordWrap(true);
            label->setTextFormat(Qt::PlainText);
            widget = label;
            break;
        }
        case ControlKind::TextBox: {
            // Made empty and given its text once the faces are fitted: a box
            // lays its text out again on every change of face.
            auto *edit = new QLineEdit(this);
            // Cells and declinations line up on their decimals.
            if (entry.name != kLatitudeBox)
                edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            connect(edit, &QLineEdit::textChanged, this, [this, edit] { keepHeldText(edit); });
            widget = edit;
            break;
        }
        case ControlKind::Button: {
            auto *push = new QPushButton(qs(entry.text), this);
            push->setAutoDefault(false);
            widget = push;
            break;
        }
        }
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
        controls_.emplace(entry.name, widget);
    }

    fitFonts();
    makeTextReadable();
    for (const ControlSpec &entry : mainFormControls())
        if (entry.kind == ControlKind::TextBox && !entry.text.empty())
            box(entry.name)->setText(qs(entry.text));

    const auto &order = tabOrder();
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(control(order[i - 1]), control(order[i]));
    control(order.front())->setFocus();

    connect(button("Calcola"), &QPushButton::clicked, this, &MainForm::Calcola_Click);
    connect(button("Azzera"), &QPushButton::clicked, this, &MainForm::Azzera_Click);
    connect(button("Command1"), &QPushButton::clicked, this, &MainForm::Command1_Click);
    connect(button("Command2"), &QPushButton::clicked, this, &MainForm::Command2_Click);
    connect(button("Command3"), &QPushButton::clicked, this, &MainForm::Command3_Click);
    connect(button("Command4"), &QPushButton::clicked, this, &MainForm::Command4_Click);

    printBusy_.setSingleShot(true);
    connect(&printBusy_, &QTimer::timeout, this, &MainForm::showPrintBusy);
    // Quitting without closing the window (an exit from a signal) also ends
    // a print.
    connect(qApp, &QCoreApplication::aboutToQuit, this, &MainForm::endPrint);
}

MainForm::~MainForm() { endPrint(); }

void MainForm::fitFonts()
{
    // Every text each control may show: its opening text, and what the
    // presets write and the table computes from them (headings, corner,
    // declinations, altitudes), gathered by running them on a form that
    // only remembers.
    class ShownTexts final : public Form {
    public:
        std::map<std::string, std::vector<std::string>, std::less<>> shown;
        std::string text(std::string_view box) const override
        {
            const auto it = shown.find(box);
            return it == shown.end() || it->second.empty() ? std::string() : it->second.back();
        }
        void setText(std::string_view box, std::string_view text) override
        {
            shown[std::string(box)].emplace_back(text);
        }
        void setCaption(std::string_view label, std::string_view caption) override
        {
            setText(label, caption);
        }
    } texts;
    for (const ControlSpec &entry : mainFormControls())
        texts.setText(entry.name, entry.text);
    for (const auto *preset : {&kFifteenDaySteps, &kFiveDegreeSteps, &kFourDegreeSteps}) {
        applyPreset(*preset, texts);
        computeTable(texts);
    }

    // Each face, the window's own and those of the title, headings, footer
    // and latitude box, is fitted on its own: the largest size in quarter
    // points, from its design size down to half of it, at which every text
    // it draws stands whole inside its control, whatever the font resolution.
    // Controls of one kind, size and alignment draw a text alike, so each
    // text is checked once for all of them (most cells share their texts).
    std::map<FontRole, std::vector<std::pair<QWidget *, QString>>> drawn;
    std::set<std::tuple<FontRole, const QMetaObject *, int, int, int, QString>> checked;
    for (const ControlSpec &entry : mainFormControls()) {
        QWidget *control = this->control(entry.name);
        const auto *label = qobject_cast<const QLabel *>(control);
        const auto *box = qobject_cast<const QLineEdit *>(control);
        const int alignment = label ? int(label->alignment()) | (label->wordWrap() ? 1 << 16 : 0)
            : box                   ? int(box->alignment())
                                    : 0;
        for (const std::string &text : texts.shown[entry.name]) {
            if (text.empty())
                continue;
            QString shown = qs(text);
            if (checked
                    .emplace(entry.font, control->metaObject(), control->width(), control->height(),
                             alignment, shown)
                    .second)
                drawn[entry.font].emplace_back(control, std::move(shown));
        }
    }
    QFont windowFont = font();
    windowFont.setPointSizeF(kLargestWindowPoints);
    for (const auto &[role, shown] : drawn) {
        QFont face = fontFor(role, windowFont);
        const double design = face.pointSizeF();
        for (double points = design; points >= design / 2; points -= 0.25) {
            face.setPointSizeF(points);
            if (std::all_of(shown.begin(), shown.end(),
                            [&](const auto &t) { return standsWhole(*t.first, t.second, face); }))
                break;
        }
        if (role == FontRole::Window)
            setFont(face);
        else
            for (const ControlSpec &entry : mainFormControls())
                if (entry.font == role)
                    control(entry.name)->setFont(face);
    }
}

void MainForm::makeTextReadable()
{
    // The result cells stay disabled, but their text is darkened (or on a dark
    // theme lightened) from the theme's disabled grey until it reads well; the
    // reminder about decimal commas stays red, a darker red on a light window
    // and a lighter one on a dark window, as far as it takes to read as well.
    const QPalette theme = palette();
    const QColor cellText = readableText(theme.color(QPalette::Disabled, QPalette::Text),
                                         theme.color(QPalette::Disabled, QPalette::Base));
    for (const ControlSpec &entry : mainFormControls()) {
        QWidget *control = this->control(entry.name);
        QPalette own = control->palette();
        if (entry.red) {
            for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
                own.setColor(group, QPalette::WindowText,
                             readableText(QColor(255, 0, 0), theme.color(group, QPalette::Window)));
        } else if (entry.kind == ControlKind::TextBox && !entry.enabled) {
            own.setColor(QPalette::Disabled, QPalette::Text, cellText);
        } else {
            continue;
        }
        control->setPalette(own);
    }
}

void MainForm::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange)
        makeTextReadable();
    QWidget::changeEvent(event);
}

QWidget *MainForm::control(std::string_view name) const
{
    const auto it = controls_.find(name);
    return it == controls_.end() ? nullptr : it->second;
}

QLineEdit *MainForm::box(std::string_view name) const
{
    auto *edit = qobject_cast<QLineEdit *>(control(name));
    if (!edit)
        throw std::out_of_range("no text box named " + std::string(name));
    return edit;
}

QPushButton *MainForm::button(std::string_view name) const
{
    return qobject_cast<QPushButton *>(control(name));
}

std::string MainForm::text(std::string_view name) const { return box(name)->text().toStdString(); }

void MainForm::setText(std::string_view name, std::string_view text)
{
    box(name)->setText(qs(text));
}

void MainForm::setCaption(std::string_view name, std::string_view caption)
{
    auto *label = qobject_cast<QLabel *>(control(name));
    if (!label)
        throw std::out_of_range("no label named " + std::string(name));
    label->setText(qs(caption));
}

void MainForm::setPrintHelper(QString program) { printHelper_ = std::move(program); }

void MainForm::showEvent(QShowEvent *event)
{
    if (!loaded_ && !event->spontaneous()) {
        loaded_ = true;
        Form_Load();
    }
    QWidget::showEvent(event);
}

void MainForm::showMessage(QMessageBox::Icon icon, const QString &message)
{
    QMessageBox box(icon, QStringLiteral("Solvara"), message, QMessageBox::Ok, this);
    box.exec();
}

void MainForm::Form_Load() { CentraForm::Centra(*this); }

void MainForm::Calcola_Click()
{
    if (busy_)
        return;
    if (const auto error = computeTable(*this)) {
        showMessage(QMessageBox::Critical, QString::fromStdString(inputMessage(*error)));
        box(error->box)->setFocus();
        box(error->box)->selectAll();
    }
}

void MainForm::Azzera_Click()
{
    if (!busy_)
        resetForm(*this);
}

// Hands the page to the print helper and returns: the window's events go on
// while the print system works, and the message comes when the helper has
// its answer or the window's clock has run out (PrintProcess).
void MainForm::Command1_Click()
{
    if (busy_)
        return;
    busy_ = true;
    holdTexts(true);
    print_ = std::make_unique<PrintProcess>(printHelper_);
    connect(
        print_.get(), &PrintProcess::finished, this,
        [this, number = ++printNumber_](PrintOutcome outcome) {
            if (print_ && number == printNumber_)
                printFinished(outcome);
        },
        Qt::QueuedConnection);
    printBusy_.start(kPrintBusyDelay);
    print_->start(pageRequest(*this));
}

void MainForm::printFinished(PrintOutcome outcome)
{
    endPrint();
    if (outcome == PrintOutcome::Sent)
        showMessage(QMessageBox::Information, QStringLiteral("Stampa inviata"));
    else
        showMessage(QMessageBox::Critical, QStringLiteral("Errore nella procedura di stampa"));
    holdTexts(false);
    busy_ = false;
}

void MainForm::closeEvent(QCloseEvent *event)
{
    if (print_) {
        endPrint();
        holdTexts(false);
        busy_ = false;
    }
    QWidget::closeEvent(event);
}

void MainForm::endPrint()
{
    print_.reset(); // kills a helper still running
    printBusy_.stop();
    if (printNote_)
        printNote_->hide();
    if (waitCursor_)
        QGuiApplication::restoreOverrideCursor();
    waitCursor_ = false;
}

void MainForm::showPrintBusy()
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    waitCursor_ = true;
    if (!printNote_) {
        // A note without a close button, which takes no input from the
        // window: the window stays closable.
        printNote_ = new QWidget(this, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
        printNote_->setWindowTitle(QStringLiteral("Solvara"));
        auto *layout = new QVBoxLayout(printNote_);
        layout->addWidget(new QLabel(QStringLiteral("Invio alla stampante…"), printNote_));
    }
    printNote_->show();
}

void MainForm::holdTexts(bool hold)
{
    held_.clear();
    for (const auto &[name, widget] : controls_) {
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

void MainForm::Command2_Click()
{
    if (!busy_)
        applyPreset(kFifteenDaySteps, *this);
}

void MainForm::Command3_Click()
{
    if (!busy_)
        applyPreset(kFiveDegreeSteps, *this);
}

void MainForm::Command4_Click()
{
    if (!busy_)
        applyPreset(kFourDegreeSteps, *this);
}
