#pragma once

#include <QApplication>

// The program's application object. Qt does not carry exceptions through its event loop:
// one that leaves an event handler ends the program. notify() is the outermost frame of
// every event's delivery, so an exception that a handler lets through is caught here,
// reported on standard error, and the program goes on with the next event. The handlers
// that can meet a failure (the measurement run) catch and report it themselves; this is
// the last boundary for anything they do not.
class GuardedApplication final : public QApplication
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(GuardedApplication)

public:
    GuardedApplication(int &argc, char **argv);
    ~GuardedApplication() override = default;

    bool notify(QObject *receiver, QEvent *event) override;
};
