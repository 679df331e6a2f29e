#pragma once

#include <QString>

// The status texts of a run that failed, one per kind of failure, exactly as the user sees
// them. The full reason goes to the status line's tooltip.
namespace FailureTexts {

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

} // namespace FailureTexts
