#pragma once

#include "history/HistoryRecord.h"

#include <QList>
#include <QString>

// The size history as CSV (RFC 4180): a header line, then one line per record, every line
// ended by CR LF. A field holding a comma, a double quote, a CR or an LF is put in double
// quotes, its quotes doubled; any other field is written as it is. Pure.
//
// Columns: time (ISO 8601 in UTC with Z, to the second), target (as the run log shows it),
// kind (file or folder), bytes, files, folders (empty when the size query failed), seconds
// (three decimals) and outcome (good, or the failure's reason).
namespace HistoryCsv {

[[nodiscard]] QString header();
[[nodiscard]] QString field(const QString &text);
// One record, without its line end.
[[nodiscard]] QString row(const HistoryRecord &record);
// The header and the records, in the order given.
[[nodiscard]] QString document(const QList<HistoryRecord> &records);

} // namespace HistoryCsv
