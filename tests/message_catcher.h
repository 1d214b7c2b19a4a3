#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <functional>
#include <vector>

// Answers the modal message boxes a handler opens, and keeps what each said
// as "ICON TITLE: TEXT", the icon by its number (1 information, 3 critical),
// then " / DETAILS" for a box that has them.
// whileOpen, when set, is asked at each look at an open box (every 5 ms):
// the box is answered once it returns false.
class MessageCatcher {
public:
    std::function<bool()> whileOpen;

    MessageCatcher()
    {
        QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (box && !box->property("caught").toBool()) {
                box->setProperty("caught", true);
                const QString details = box->detailedText();
                seen_.push_back(QString::number(box->icon()) + " " + box->windowTitle() + ": "
                                + box->text() + (details.isEmpty() ? "" : " / " + details));
            }
            if (box && (!whileOpen || !whileOpen()))
                box->accept();
        });
        timer_.start(5);
    }
    const std::vector<QString> &seen() const { return seen_; }

private:
    QTimer timer_;
    std::vector<QString> seen_;
};
