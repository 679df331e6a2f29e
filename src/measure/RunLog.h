#pragma once

#include "measure/RunLogPieces.h"

#include <QString>

// Composes the run log text from its pieces. Pure; the pieces are used verbatim.
namespace RunLog {

// The run log: splitter, banner, splitter, "EXE File = " and the executable name, the
// target label and path, splitter, an empty line, the size block, an empty line,
// splitter, footer, splitter. With the standard fixed texts that is 18 lines, each
// ended by CR LF.
[[nodiscard]] QString compose(const RunLogPieces &pieces);

// The report of a failed run: the first six lines as in compose(), an empty line,
// "ERROR = " and the reason, an empty line, then splitter, footer and splitter; 13 lines
// each ended by CR LF when the reason is one line. Line breaks inside the reason become
// CR LF. The size block is not used.
[[nodiscard]] QString composeError(const RunLogPieces &pieces, const QString &reason);

} // namespace RunLog
