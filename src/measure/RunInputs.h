#pragma once

#include <QString>

namespace Ui {
class ZEMRA_MAIN;
}

// What a measurement run works from, taken from the main window once, when the run starts:
// the target path as typed, the target kinds ticked, and the log file path. The window's
// input is locked while the run measures, so nothing the run uses changes under it.
struct RunInputs
{
    QString targetPath;
    bool file = false;   // FILE-Size ticked (the value 1)
    bool folder = false; // FOLDER-Size ticked
    QString logPath;

    [[nodiscard]] static RunInputs fromForm(const Ui::ZEMRA_MAIN &form);
};
