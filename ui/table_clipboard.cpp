#include "table_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace solvara::ui {

void putOnClipboard(const TableCopy &table)
{
    auto *data = new QMimeData; // the clipboard owns it
    data->setText(QString::fromStdString(table.text));
    data->setHtml(QString::fromStdString(table.html));
    QGuiApplication::clipboard()->setMimeData(data);
}

} // namespace solvara::ui
