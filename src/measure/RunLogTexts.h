#pragma once

#include <QString>

// The labels that start the run log's own lines. The other fixed pieces (banner, footer,
// splitter line, and the placeholder before the first run) are the texts of the main
// window's offstage boxes, defined in MainWindow.ui, and the run reads them from there.
namespace RunLogTexts {

[[nodiscard]] inline QString exeFilePrefix()
{
    return QStringLiteral("EXE File = ");
}
[[nodiscard]] inline QString fileLabel()
{
    return QStringLiteral("FILE = ");
}
[[nodiscard]] inline QString folderLabel()
{
    return QStringLiteral("FOLDER = ");
}
[[nodiscard]] inline QString errorPrefix()
{
    return QStringLiteral("ERROR = ");
}

} // namespace RunLogTexts
