#pragma once

#include <QMessageBox>
#include <QString>
#include <QTimer>

#include <vector>

// Answers the modal message boxes a handler opens, and keeps what each said.
class MessageCatcher {
public:
    struct Seen {
        QString title;
        QString text;
        QMessageBox::Icon icon;
    };

    MessageCatcher();
    const std::vector<Seen> &seen() const { return seen_; }

private:
    QTimer timer_;
    std::vector<Seen> seen_;
};
