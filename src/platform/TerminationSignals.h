#pragma once

#include <QObject>

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

signals:
    // signalNumber: SIGTERM, SIGINT or SIGHUP (15, 2, 1).
    void received(int signalNumber);
};
