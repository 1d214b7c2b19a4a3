#include "message_catcher.h"

#include <QApplication>

MessageCatcher::MessageCatcher()
{
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        seen_.push_back({box->windowTitle(), box->text(), box->icon()});
        box->accept();
    });
    timer_.start(5);
}
