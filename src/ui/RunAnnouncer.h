#pragma once

#include <QPointer>
#include <QString>

#include <functional>

class MainWindow;
class QAccessibleEvent;
class QWidget;

// Tells assistive technologies how a run in the main window ended, and gives the keyboard
// focus back to the button that started it.
//
// Run Now disables itself when pressed, which moves the focus on to the next control; once
// the run has handed over and Run Now is enabled again, the focus returns to it, unless the
// user has moved it meanwhile. START keeps the focus throughout. A run that the autostart
// countdown started moves no focus.
class RunAnnouncer
{
public:
    // Watches the two buttons that start runs. Make it after the run control is attached,
    // so that it sees where a click left the focus. The window outlives the announcer.
    explicit RunAnnouncer(MainWindow &window);

    // The run has handed over: the status label's accessible description becomes
    // description (the new size, or why the run failed), and assistive technologies are
    // told that its name (the status text) and description changed.
    void runEnded(const QString &description);

    // Where the events go: to assistive technologies (QAccessible::updateAccessibility),
    // unless a test watches them instead (the offscreen platform has no accessibility).
    using Notify = std::function<void(QAccessibleEvent *)>;
    void setNotifier(Notify notify) { m_notify = std::move(notify); }

private:
    MainWindow &m_window;
    // The button that started the run under way, and where the focus went when it did.
    QPointer<QWidget> m_starter;
    QPointer<QWidget> m_focusAfterStart;
    Notify m_notify;
};
