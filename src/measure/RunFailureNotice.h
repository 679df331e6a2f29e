#pragma once

#include <QString>
#include <QStringList>

namespace Ui {
class ZEMRA_MAIN;
}

// Where a desktop user finds why a run failed. The status line names only the kind of
// failure ("!!! ERROR - LOG FILE NOT WRITTEN !!!"); the full reasons go to the status line's
// tooltip, and the reason a log file could not be written is shown as a last line below the
// run log, so that the log output window shows it even though no file holds it.
namespace RunFailureNotice {

// Sets the tooltip of CURRENT_STATUS_LABEL to the reasons, one per line; an empty list (a
// run that succeeded) clears it.
void showReasons(Ui::ZEMRA_MAIN &form, const QStringList &reasons);

// The line shown below the run log after a failed write: the reason, its line breaks as
// CR LF, ended by CR LF. Pure.
[[nodiscard]] QString writeFailureLine(const QString &reason);

} // namespace RunFailureNotice
