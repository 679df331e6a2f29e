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

inline QString targetNotFound()
{
    return QStringLiteral("!!! ERROR - TARGET NOT FOUND !!!");
}
inline QString notAFile()
{
    return QStringLiteral("!!! ERROR - NOT A FILE !!!");
}
inline QString notAFolder()
{
    return QStringLiteral("!!! ERROR - NOT A FOLDER !!!");
}
inline QString accessDenied()
{
    return QStringLiteral("!!! ERROR - ACCESS DENIED !!!");
}
inline QString sizingFailed()
{
    return QStringLiteral("!!! ERROR - SIZING FAILED !!!");
}
inline QString logFileNotWritten()
{
    return QStringLiteral("!!! ERROR - LOG FILE NOT WRITTEN !!!");
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
