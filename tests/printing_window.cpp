// The window as a process of its own, for the tests that end it during a
// print (print_window_test.cpp): it presses "Stampa" as soon as it shows,
// through the print helper given as its argument, and ends as it is told on
// its input: "close" (the window closed) or "exit" (the event loop left).
// Termination signals end it as they end the program.
#include "mainform.h"
#include "termination.h"

#include <QApplication>
#include <QPushButton>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>

#include <unistd.h>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    endOnTerminationSignals();
    MainForm form;
    form.setPrintHelper(QString::fromLocal8Bit(argc > 1 ? argv[1] : ""));
    form.show();
    QTimer::singleShot(0, &form,
                       [&form] { qobject_cast<QPushButton *>(form.control("Command1"))->click(); });
    QSocketNotifier told(0, QSocketNotifier::Read);
    QObject::connect(&told, &QSocketNotifier::activated, &form, [&] {
        char way[8];
        const QByteArray said(way, std::max<qsizetype>(::read(0, way, sizeof way), 0));
        told.setEnabled(!said.isEmpty());
        if (said == "close")
            form.close();
        else if (said == "exit")
            QCoreApplication::exit(0);
    });
    return QApplication::exec();
}
