// The yardsticks for Solvara's start: an empty Qt Widgets window of the same
// caption and size, started the same way, with nothing else in it; built
// with SOLVARA_ONE_LABEL, the same window showing one label in the program's
// face, the least any window that draws a text pays.
#include "layout.h"

#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Solvara"));
    QWidget window;
    window.setWindowTitle(QString::fromUtf8(solvara::ui::kWindowCaption));
    window.resize(solvara::ui::kClientWidthTwips / solvara::ui::kTwipsPerPixel,
                  solvara::ui::kClientHeightTwips / solvara::ui::kTwipsPerPixel);
#ifdef SOLVARA_ONE_LABEL
    QFont face(QStringLiteral("Liberation Sans Narrow"));
    face.setPointSizeF(8);
    window.setFont(face);
    auto *label = new QLabel(QStringLiteral("Latitudine"), &window);
    label->move(10, 10);
#endif
    window.show();
    return QApplication::exec();
}
