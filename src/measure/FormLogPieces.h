#pragma once

#include "measure/RunLogPieces.h"

namespace Ui {
class ZEMRA_MAIN;
}

// The run log's fixed pieces (splitter, banner, footer) as the main window's offstage boxes
// hold them (MainWindow.ui), with the executable name: what every run log is composed from,
// a window run's and a one-shot run's alike, so that both write the same bytes. The target
// and the size block are the caller's.
[[nodiscard]] RunLogPieces formLogPieces(const Ui::ZEMRA_MAIN &form, const QString &executableName);
