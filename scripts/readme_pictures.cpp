// Draws the pictures the README shows, with the program's own code: the
// window after "Passo di 15 giorni" and "Calcola" at latitude 45, and the
// page that "Stampa" would print for it.
// Usage: readme_pictures OUTPUT_DIR  (writes window.png and page.pdf)
#include "altitude_page.h"
#include "mainform.h"
#include "pdf_page.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTest>

#include <iostream>

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::cerr << "usage: readme_pictures OUTPUT_DIR\n";
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));

    MainForm form;
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        return 1;
    form.setText("Lat", "45");
    for (const char *button : {"Command2", "Calcola"})
        qobject_cast<QPushButton *>(form.control(button))->click();
    if (!form.grab().save(out.filePath(QStringLiteral("window.png"))))
        return 1;

    const auto texts = solvara::placedTexts(solvara::altitudePage(form), solvara::kPageFontPoints);
    QFile pdf(out.filePath(QStringLiteral("page.pdf")));
    const QByteArray bytes = solvara::renderPdfPage(texts, QPointF(), QStringLiteral("Solvara"));
    if (bytes.isEmpty() || !pdf.open(QIODevice::WriteOnly) || pdf.write(bytes) != bytes.size())
        return 1;
    return 0;
}
