#pragma once

#include <QString>

// The status texts and START/STOP captions that run control shows, exactly as the user sees
// them (spaces included).
namespace RunTexts {

inline QString ready()
{
    return QStringLiteral("READY...");
}
inline QString autostarting()
{
    return QStringLiteral("!!! AUTOSTARTING - 10 SECS !!!");
}
inline QString starting()
{
    return QStringLiteral("!!! STARTING !!!");
}
inline QString runningNow()
{
    return QStringLiteral("!!! RUNNING NOW !!!");
}
inline QString manualRun()
{
    return QStringLiteral("MANUAL RUN");
}
inline QString running()
{
    return QStringLiteral(" - !!! - RUNNING - !!! - ");
}
inline QString completed()
{
    return QStringLiteral("!!! COMPLETED !!!");
}
inline QString autoclosing()
{
    return QStringLiteral("!!! AUTOCLOSING - 10 SECS !!!");
}

inline QString start()
{
    return QStringLiteral("START");
}
inline QString stop()
{
    return QStringLiteral("STOP");
}

} // namespace RunTexts
