#pragma once

#include <QString>

// The labels that start the run log's own lines. The other fixed pieces (banner, footer,
// splitter line, and the placeholder before the first run) are the texts of the main
// window's offstage boxes, defined in MainWindow.ui, and the run reads them from there.
class RunLogTexts
{
public:
    [[nodiscard]] static QString exeFilePrefix() { return QStringLiteral("EXE File = "); }
    [[nodiscard]] static QString fileLabel() { return QStringLiteral("FILE = "); }
    [[nodiscard]] static QString folderLabel() { return QStringLiteral("FOLDER = "); }
    [[nodiscard]] static QString errorPrefix() { return QStringLiteral("ERROR = "); }
};
