#include "ui/ProgramVersion.h"

// ZEMRA_VERSION is defined for this file alone by the build, so that a new version
// recompiles one file.
QString ProgramVersion::number()
{
    return QStringLiteral(ZEMRA_VERSION);
}

QString ProgramVersion::aboutText()
{
    return QStringLiteral("Version ") + number();
}
