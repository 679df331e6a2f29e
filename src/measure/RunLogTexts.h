#pragma once

#include <QString>

// The fixed texts of the run log, shared by the main window's offstage boxes and the run.
// Line ends are CR LF.
class RunLogTexts
{
public:
    // 61 "=", no line end.
    [[nodiscard]] static QString splitter() { return QString(61, u'='); }

    // One line, ended by CR LF.
    [[nodiscard]] static QString banner()
    {
        return QStringLiteral("!!! - QUENLOW - Zemra-Gauge - !!!\r\n");
    }

    // Two lines, each ended by CR LF.
    [[nodiscard]] static QString footer()
    {
        return QStringLiteral("!!! - Thanks for using Quenlow Software - !!!\r\n"
                              "!!! - www.quenlow.example - Vorrel42 !!! :)\r\n");
    }

    // The run log before the first run of a launch: one line, ended by CR LF.
    [[nodiscard]] static QString placeholder()
    {
        return QStringLiteral("!!! LOG GENERATED AFTER RUN COMPLETION !!!\r\n");
    }

    [[nodiscard]] static QString exeFilePrefix() { return QStringLiteral("EXE File = "); }
    [[nodiscard]] static QString fileLabel() { return QStringLiteral("FILE = "); }
    [[nodiscard]] static QString folderLabel() { return QStringLiteral("FOLDER = "); }
    [[nodiscard]] static QString errorPrefix() { return QStringLiteral("ERROR = "); }
};
