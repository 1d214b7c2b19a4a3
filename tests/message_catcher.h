#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <functional>
#include <vector>

// Answers the modal message boxes a handler opens, and keeps what each said.
// whileOpen, when set, is asked at each look at an open box (every 5 ms):
// the box is answered once it returns false.
class MessageCatcher {
public:
    struct Seen {
        QString title, text;
        QMessageBox::Icon icon;
    };
    std::function<bool()> whileOpen;

    MessageCatcher()
    {
        QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            if (!box->property("caught").toBool()) {
                box->setProperty("caught", true);
                seen_.push_back({box->windowTitle(), box->text(), box->icon()});
            }
            if (!whileOpen || !whileOpen())
                box->accept();
        });
        timer_.start(5);
    }
    const std::vector<Seen> &seen() const { return seen_; }

private:
    QTimer timer_;
    std::vector<Seen> seen_;
};
