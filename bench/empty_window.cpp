// The yardstick for Solvara's start: an empty Qt Widgets window of the same
// caption and size, started the same way, with nothing else in it.
#include "layout.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Solvara"));
    QWidget window;
    window.setWindowTitle(QString::fromUtf8(solvara::ui::kWindowCaption));
    window.resize(solvara::ui::kClientWidthTwips / solvara::ui::kTwipsPerPixel,
                  solvara::ui::kClientHeightTwips / solvara::ui::kTwipsPerPixel);
    window.show();
    return QApplication::exec();
}
