#include "history/SizeGrowth.h"

#include "history/SizeUnits.h"

#include <QLocale>

#include <cmath>
#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr double kMillisecondsPerDay = 24.0 * 60 * 60 * 1000;

std::optional<double> decimalNumber(QStringView text)
{
    // Plain decimals only: no sign, exponent, blanks, infinity or NaN.
    if (text.isEmpty())
        return std::nullopt;
    for (const QChar c : text) {
        if (!(c == u'.' || (c >= u'0' && c <= u'9')))
            return std::nullopt;
    }
    bool ok = false;
    const double value = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString number(double value, int decimals)
{
    QString text = QLocale::c().toString(value, 'f', decimals);
    if (text.contains(u'.')) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.'))
            text.chop(1);
    }
    return text;
}

} // namespace

std::optional<HistoryRecord> SizeGrowth::earliestBetween(const QList<HistoryRecord> &records,
                                                         const QDateTime &since,
                                                         const QDateTime &before)
{
    for (const HistoryRecord &record : records) {
        if (record.bytes && record.time >= since && record.time < before)
            return record;
    }
    return std::nullopt;
}

std::optional<double> SizeGrowth::perDay(const QList<HistoryRecord> &records, const QDateTime &now,
                                         int days)
{
    const HistoryRecord *newest = nullptr;
    for (const HistoryRecord &record : records) {
        if (record.bytes && record.time <= now)
            newest = &record;
    }
    if (!newest)
        return std::nullopt;
    const std::optional<HistoryRecord> oldest =
        earliestBetween(records, now.addDays(-days), newest->time);
    if (!oldest)
        return std::nullopt;
    const double spanDays =
        static_cast<double>(oldest->time.msecsTo(newest->time)) / kMillisecondsPerDay;
    if (spanDays <= 0)
        return std::nullopt;
    return (static_cast<double>(*newest->bytes) - static_cast<double>(*oldest->bytes)) / spanDays;
}

QString SizeGrowth::summary(const QList<HistoryRecord> &records, const QDateTime &now,
                            QChar decimal)
{
    const HistoryRecord *latest = nullptr;
    for (const HistoryRecord &record : records) {
        if (record.bytes)
            latest = &record;
    }
    if (!latest)
        return u"No size of this target is recorded yet."_s;
    const auto growth = [&](int days) {
        const std::optional<double> bytes = perDay(records, now, days);
        return bytes ? SizeUnits::signedCompact(*bytes, decimal) : u"not enough records"_s;
    };
    return u"Latest size: %1, measured %2. Growth per day over the last week: %3; over "
           "the last month: %4."_s.arg(SizeUnits::compact(*latest->bytes, decimal),
                                       latest->time.toLocalTime().toString(u"yyyy-MM-dd HH:mm"_s),
                                       growth(7), growth(30));
}

std::optional<SizeGrowth::Bound> SizeGrowth::parseBound(QStringView text)
{
    const qsizetype slash = text.indexOf(u'/');
    if (slash < 0)
        return std::nullopt;
    const std::optional<double> percent = decimalNumber(text.left(slash));
    const std::optional<double> days = decimalNumber(text.mid(slash + 1));
    if (!percent || !days || *days <= 0)
        return std::nullopt;
    return Bound{*percent, *days};
}

QString SizeGrowth::alert(const QList<HistoryRecord> &records, const HistoryRecord &latest,
                          const Bound &bound)
{
    if (!latest.bytes)
        return {};
    QList<HistoryRecord> same;
    for (const HistoryRecord &record : records) {
        if (record.target == latest.target && record.folder == latest.folder)
            same.append(record);
    }
    const auto window = static_cast<qint64>(std::llround(bound.days * kMillisecondsPerDay));
    const std::optional<HistoryRecord> base =
        earliestBetween(same, latest.time.addMSecs(-window), latest.time);
    if (!base)
        return {};
    const double from = static_cast<double>(*base->bytes);
    const double to = static_cast<double>(*latest.bytes);
    const double percent = from > 0 ? (to - from) * 100 / from
                                    : (to > 0 ? std::numeric_limits<double>::infinity() : 0);
    if (!(percent > bound.percent))
        return {};
    const double days = static_cast<double>(base->time.msecsTo(latest.time)) / kMillisecondsPerDay;
    const QString grew =
        std::isinf(percent) ? u"grew from 0 B"_s : u"grew by %1%"_s.arg(number(percent, 1));
    return u"alert: '%1' %2 in %3 days (%4 on %5, now %6), more than %7% in %8 days"_s.arg(
        latest.target, grew, number(days, 1), SizeUnits::compact(*base->bytes),
        base->time.toUTC().toString(Qt::ISODate), SizeUnits::compact(*latest.bytes),
        number(bound.percent, 3), number(bound.days, 3));
}

QString SizeGrowth::aboveAlert(const HistoryRecord &latest, std::uint64_t bound)
{
    if (!latest.bytes || *latest.bytes <= bound)
        return {};
    return u"alert: '%1' is %2 (%3 B), above %4"_s.arg(
        latest.target, SizeUnits::compact(*latest.bytes), QString::number(*latest.bytes),
        SizeUnits::compact(bound));
}
