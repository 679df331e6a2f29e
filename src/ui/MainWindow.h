#pragma once

#include "ui/MainTimers.h"
#include "ui_MainWindow.h"

#include <QWidget>

class Clock;

// The main window ZEMRA_MAIN: the form with every control, and the five timers. It has no
// behaviour of its own; the program's handlers read and write its controls directly.
//
// The window is fixed in size (no resizing, no maximize box) and appears in the task bar.
// Enter or keypad Enter on a focused push button presses it, as Space does (its buttons are
// auto-default); the window has no default button, so Enter in a text box presses none.
// Assistive technologies see it as a window (MainWindowAccessible).
class MainWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainWindow)

public:
    explicit MainWindow(Clock &clock, QWidget *parent = nullptr);

    [[nodiscard]] Ui::ZEMRA_MAIN &form() { return m_form; }
    [[nodiscard]] const MainTimers &timers() const { return m_timers; }

signals:
    // The window is closing, by the user or by the program; emitted once, before it goes.
    void unloading();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    Ui::ZEMRA_MAIN m_form;
    MainTimers m_timers;
    bool m_unloaded = false;
};
