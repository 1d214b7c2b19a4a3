#include "window_keys.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

namespace solvara::ui {

WindowKeys::WindowKeys(QObject *parent, std::function<void()> copyTable)
    : QObject(parent)
    , copyTable_(std::move(copyTable))
{}

bool WindowKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    auto *button = qobject_cast<QPushButton *>(watched);
    if (button && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
        && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        // A key held down presses once.
        if (!key->isAutoRepeat())
            button->animateClick();
        return true;
    }
    const auto *box = qobject_cast<QLineEdit *>(watched);
    if (key->matches(QKeySequence::Copy) && !(box && box->hasSelectedText())) {
        copyTable_();
        return true;
    }
    return false;
}

} // namespace solvara::ui
