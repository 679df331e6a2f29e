#pragma once

#include <QObject>
#include <QString>

// The requests to end the program that the operating system delivers: SIGTERM, SIGINT and
// SIGHUP (a service manager stopping the program, Ctrl-C, a closed terminal); on Windows the
// console's Ctrl-C, Ctrl-Break and close events, as SIGINT and SIGTERM. While the object
// lives they no longer end the process; each one arrives as received() on the
// user-interface thread, where the program ends the way closing its window does.
//
// Make at most one, on the user-interface thread, after the application object.
class TerminationSignals final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TerminationSignals)

public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

    // "SIGTERM", "SIGINT" or "SIGHUP" for the numbers received() gives; "signal N" otherwise.
    [[nodiscard]] static QString name(int signalNumber);

    // Ends the process as the signal's default action does, so that a shell or a service
    // manager sees a death by that signal (a calling script stops at Ctrl-C), after flushing
    // the standard streams. Runs no destructors: call it once everything that must be kept is
    // saved. On Windows, where no signal ends a process, it exits with 128 + signalNumber.
    [[noreturn]] static void endBy(int signalNumber);

signals:
    // signalNumber: SIGTERM, SIGINT or SIGHUP (15, 2, 1).
    void received(int signalNumber);
};
