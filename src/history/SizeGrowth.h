#pragma once

#include "history/HistoryRecord.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

// How fast a target grows, read from its size history, and the growth alarm. Records are
// given oldest first; only those with a size (bytes present) count. Pure.
namespace SizeGrowth {

// The oldest record with a size timed at or after since and before before.
[[nodiscard]] std::optional<HistoryRecord> earliestBetween(const QList<HistoryRecord> &records,
                                                           const QDateTime &since,
                                                           const QDateTime &before);

// Bytes per day from the oldest record with a size of the last days days before now to the
// newest record with a size (negative when the target shrank). nullopt when there are fewer
// than two such records, or they were made at the same moment.
[[nodiscard]] std::optional<double> perDay(const QList<HistoryRecord> &records,
                                           const QDateTime &now, int days);

// What the History window tells of records at now: the latest size and when it was
// measured (local time, to the minute), and the growth per day over the last week and the last
// month ("not enough records" where perDay() has no answer). decimal: the decimal separator.
[[nodiscard]] QString summary(const QList<HistoryRecord> &records, const QDateTime &now,
                              QChar decimal = u'.');

// The growth alarm's bound: more than percent % over days days.
struct Bound
{
    double percent = 0;
    double days = 0;
};

// "PERCENT/DAYS" with decimal numbers, percent at least 0 and days above 0 ("10/7",
// "2.5/0.5"); nullopt for anything else.
[[nodiscard]] std::optional<Bound> parseBound(QStringView text);

// One line when latest's size grew more than bound allows: compared with the oldest
// record of the same target and kind with a size made within bound.days before latest (the
// records may hold latest itself, which is not compared with itself). Empty when it did not,
// or when there is nothing to compare with. A size that grew from 0 bytes counts as grown
// without bound.
[[nodiscard]] QString alert(const QList<HistoryRecord> &records, const HistoryRecord &latest,
                            const Bound &bound);

// One line when latest's size is above bound bytes; empty otherwise.
[[nodiscard]] QString aboveAlert(const HistoryRecord &latest, std::uint64_t bound);

} // namespace SizeGrowth
