#pragma once

#include <QObject>

#include <functional>

namespace solvara::ui {

// The window's keys beyond what its controls do by themselves, watched on
// each control it is installed on:
// - Return and the keypad's Enter on a focused button press it, as Space
//   does, as on the desktops the window's users come from;
// - the copy keys (Ctrl+C) copy the table, unless a box has text selected,
//   which is copied as usual.
class WindowKeys final : public QObject {
public:
    WindowKeys(QObject *parent, std::function<void()> copyTable);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<void()> copyTable_;
};

} // namespace solvara::ui
