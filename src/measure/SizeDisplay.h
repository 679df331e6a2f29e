#pragma once

#include <QStringList>

namespace Ui {
class ZEMRA_MAIN;
}

// The main window's size display: the six hidden size boxes (bytes to petabytes) and the
// visible block built from them. It only shows; the run keeps the lines it shows.
namespace SizeDisplay {

// Shows the six size lines (SizeLines::lines()) in their boxes, bytes first, then the block
// read back from those boxes in OUTPUT_WINDOW_TEXTBOX.
void show(Ui::ZEMRA_MAIN &form, const QStringList &lines);

// Empties the six boxes and the block, so that no earlier figures stand beside a failure.
void clear(Ui::ZEMRA_MAIN &form);

} // namespace SizeDisplay
