#include "platform/TerminationSignals.h"

#include <QMetaObject>
#include <QPointer>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <windows.h>

namespace {

// The one instance, reached from the console's handler thread.
QPointer<TerminationSignals> g_instance;

constexpr int TerminateSignal = 15;

BOOL WINAPI onConsoleEvent(DWORD event)
{
    const int signalNumber = event == CTRL_C_EVENT ? SIGINT : TerminateSignal;
    // Queued to the user-interface thread; the handler thread only posts.
    QMetaObject::invokeMethod(
        g_instance.data(), [signalNumber] { emit g_instance->received(signalNumber); },
        Qt::QueuedConnection);
    return TRUE;
}

} // namespace

TerminationSignals::TerminationSignals(QObject *parent) : QObject(parent)
{
    g_instance = this;
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

TerminationSignals::~TerminationSignals()
{
    SetConsoleCtrlHandler(onConsoleEvent, FALSE);
    g_instance = nullptr;
}

QString TerminationSignals::name(int signalNumber)
{
    switch (signalNumber) {
    case TerminateSignal:
        return QStringLiteral("SIGTERM");
    case SIGINT:
        return QStringLiteral("SIGINT");
    default:
        return QStringLiteral("signal %1").arg(signalNumber);
    }
}

void TerminationSignals::endBy(int signalNumber)
{
    std::fflush(nullptr);
    std::_Exit(128 + signalNumber);
}
