#pragma once

#include <QString>
#include <QStringList>

namespace Ui {
class ZEMRA_MAIN;
}

// Where a desktop user finds why a run failed. The status line names only the kind of
// failure ("!!! ERROR - LOG FILE NOT WRITTEN !!!"); the full reasons go to the status line's
// tooltip, and the reason a log file could not be written also goes into the run log box, so
// that the log output window shows it even though no file holds it.
class RunFailureNotice
{
public:
    // Sets the tooltip of CURRENT_STATUS_LABEL to the reasons of the latest run's failures,
    // one per line; an empty list (a run that succeeded) clears it.
    static void showReasons(Ui::ZEMRA_MAIN &form, const QStringList &reasons);

    // After the log file write: when it failed, appends its reason, ended by CR LF, as the
    // last line of the main window's run log box (line breaks inside the reason become
    // CR LF); when it succeeded, takes away a line an earlier failed write appended, so the
    // box holds what the file holds. Nothing on disk changes.
    static void showWriteOutcome(Ui::ZEMRA_MAIN &form, bool written, const QString &reason);

    // The text of the run log box as it is to be written to the log file: without a line
    // that showWriteOutcome() added, which reports an earlier failed write and is no part of
    // the run log a later run repeats. Any other text of the box is answered as it is.
    [[nodiscard]] static QString runLogToWrite(const Ui::ZEMRA_MAIN &form);
};
