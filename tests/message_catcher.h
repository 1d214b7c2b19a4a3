#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <vector>

// Answers the modal message boxes a handler opens, and keeps what each said.
class MessageCatcher {
public:
    struct Seen {
        QString title, text;
        QMessageBox::Icon icon;
    };

    MessageCatcher()
    {
        QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                seen_.push_back({box->windowTitle(), box->text(), box->icon()});
                box->accept();
            }
        });
        timer_.start(5);
    }
    const std::vector<Seen> &seen() const { return seen_; }

private:
    QTimer timer_;
    std::vector<Seen> seen_;
};
