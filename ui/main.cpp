#include "mainform.h"
#include "termination.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Solvara"));
    endOnTerminationSignals();
    MainForm form;
    form.show();
    return QApplication::exec();
}
