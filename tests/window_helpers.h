#pragma once

#include "mainform.h"
#include "message_catcher.h"

#include <QAccessible>
#include <QElapsedTimer>
#include <QString>
#include <QTest>

#include <iostream>
#include <string>

inline QString q(const char *s) { return QString::fromUtf8(s); }

// Found by GoogleTest: a failed comparison shows the texts.
inline void PrintTo(const QString &s, std::ostream *out) { *out << '"' << s.toStdString() << '"'; }

// What a screen reader or voice control does through the accessibility bus:
// presses a button (it clicks once released, 100 ms later), or puts a 9 for
// the first character of a box.
inline void actByAccessibility(QWidget *control)
{
    QAccessibleInterface *found = QAccessible::queryAccessibleInterface(control);
    if (QAccessibleEditableTextInterface *text = found->editableTextInterface())
        text->replaceText(0, 1, q("9"));
    else
        found->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
}

// The window shown with the built print helper, its messages caught.
struct PrintingWindow {
    MainForm form;
    MessageCatcher catcher;

    PrintingWindow()
    {
        form.setPrintHelper(q(SOLVARA_PRINT_HELPER));
        form.show();
    }
    // Presses "Stampa" (a click, or the space bar on it): milliseconds from
    // the press to the print's message, or -1 if none came in 25 s, reported
    // on every run with what the print met.
    qint64 printAndTime(const std::string &met, bool byKey = false)
    {
        QElapsedTimer clock;
        clock.start();
        const std::size_t before = catcher.seen().size();
        if (byKey)
            QTest::keyClick(form.control("Command1"), Qt::Key_Space);
        else
            QTest::mouseClick(form.control("Command1"), Qt::LeftButton);
        const bool told = QTest::qWaitFor([&] { return catcher.seen().size() > before; }, 25000);
        const qint64 ms = told ? clock.elapsed() : -1;
        std::cout << met << ": the message " << ms << " ms after the click\n";
        return ms;
    }
};
