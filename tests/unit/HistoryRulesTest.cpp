#include "app/CommandLine.h"
#include "history/HistoryCsv.h"
#include "history/SizeGrowth.h"
#include "history/SizeUnits.h"

#include <gtest/gtest.h>

#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace {

const QDateTime kNow(QDate(2026, 12, 10), QTime(2, 30), Qt::UTC);

HistoryRecord sized(const QDateTime &time, std::uint64_t bytes,
                    const QString &target = u"/srv/data"_s)
{
    HistoryRecord record;
    record.time = time;
    record.target = target;
    record.folder = true;
    record.bytes = bytes;
    record.files = 1;
    record.folders = 0;
    record.outcome = HistoryRecord::goodOutcome();
    return record;
}

HistoryRecord failed(const QDateTime &time)
{
    HistoryRecord record = sized(time, 0);
    record.bytes = record.files = record.folders = std::nullopt;
    record.outcome = u"Cannot open folder '/srv/data': Permission denied"_s;
    return record;
}

} // namespace

TEST(HistoryRulesTest, SizesAreReadInTheProgramsDecimalUnits)
{
    constexpr std::uint64_t max = std::numeric_limits<std::uint64_t>::max();
    const struct
    {
        const char *text;
        std::optional<std::uint64_t> bytes;
    } cases[] = {
        {"500GB", 500'000'000'000ULL},
        {"2TB", 2'000'000'000'000ULL},
        {"2 tb", 2'000'000'000'000ULL},
        {" 1.5 Tb ", 1'500'000'000'000ULL},
        {"123", 123},
        {"123B", 123},
        {"0", 0},
        {".5KB", 500},
        {"1.KB", 1000},
        {"1.0005KB", 1001}, // half a byte rounds up
        {"1.0004KB", 1000},
        {"1PB", 1'000'000'000'000'000ULL},
        {"18446744073709551615", max},
        {"18446744073709551616", std::nullopt},
        {"18447PB", std::nullopt},
        {"", std::nullopt},
        {"GB", std::nullopt},
        {".", std::nullopt},
        {"-1GB", std::nullopt},
        {"+1GB", std::nullopt},
        {"1e3", std::nullopt},
        {"1KiB", std::nullopt},
        {"1 G", std::nullopt},
        {"1,5GB", std::nullopt},
        {"1.2.3GB", std::nullopt},
        {"5GB extra", std::nullopt},
        {"\u0665GB", std::nullopt}, // an Arabic-Indic five is not a digit here
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(SizeUnits::parse(QString::fromUtf8(c.text)), c.bytes);
    }
}

TEST(HistoryRulesTest, SizesAreShownInTheUnitTheyNeed)
{
    const struct
    {
        std::uint64_t bytes;
        const char *compact;
        const char *unit;
    } cases[] = {
        {0, "0 B", "B"},
        {999, "999 B", "B"},
        {1000, "1 KB", "KB"},
        {1500, "1.5 KB", "KB"},
        {999'999, "999.999 KB", "KB"},
        {999'999'600, "1 GB", "MB"}, // rounds up into the next unit
        {612'345'678'901ULL, "612.346 GB", "GB"},
        {2'000'000'000'000ULL, "2 TB", "TB"},
        {std::numeric_limits<std::uint64_t>::max(), "18446.744 PB", "PB"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(SizeUnits::compact(c.bytes), QString::fromLatin1(c.compact));
        EXPECT_EQ(SizeUnits::unitFor(c.bytes).symbol, QLatin1StringView(c.unit));
    }
    EXPECT_EQ(SizeUnits::compact(1500, u','), u"1,5 KB"_s);
    EXPECT_EQ(SizeUnits::signedCompact(-20'000), u"-20 KB"_s);
    EXPECT_EQ(SizeUnits::signedCompact(1'500'000), u"+1.5 MB"_s);
    EXPECT_EQ(SizeUnits::signedCompact(0.2), u"0 B"_s);
}

TEST(HistoryRulesTest, CsvFollowsRfc4180)
{
    const struct
    {
        QString text;
        QString field;
    } fields[] = {
        {u"/srv/data"_s, u"/srv/data"_s},
        {u""_s, u""_s},
        {u"/srv/reports, 2024"_s, u"\"/srv/reports, 2024\""_s},
        {u"say \"hi\""_s, u"\"say \"\"hi\"\"\""_s},
        {u"two\nlines"_s, u"\"two\nlines\""_s},
        {u"cr\rhere"_s, u"\"cr\rhere\""_s},
        {u"caf\u00e9 ;'"_s, u"caf\u00e9 ;'"_s},
    };
    for (const auto &c : fields)
        EXPECT_EQ(HistoryCsv::field(c.text), c.field) << c.text.toStdString();

    HistoryRecord good = sized(QDateTime(QDate(2026, 12, 1), QTime(2, 30, 5, 999), Qt::UTC), 1234,
                               u"/srv/reports, 2024"_s);
    good.files = 3;
    good.folders = 2;
    good.seconds = 1.23456;
    HistoryRecord bad = failed(QDateTime(QDate(2026, 12, 2), QTime(1, 0), Qt::OffsetFromUTC, 3600));
    bad.folder = false;
    EXPECT_EQ(HistoryCsv::row(good),
              u"2026-12-01T02:30:05Z,\"/srv/reports, 2024\",folder,1234,3,2,1.235,good"_s);
    // Times are written in UTC whatever zone they come in; a failure has no counts.
    EXPECT_EQ(HistoryCsv::row(bad).toStdString(),
              u"2026-12-02T00:00:00Z,/srv/data,file,,,,0.000,"
              "Cannot open folder '/srv/data': Permission denied"_s.toStdString());
    EXPECT_EQ(HistoryCsv::document({good, bad}), HistoryCsv::header() + u"\r\n"_s +
                                                     HistoryCsv::row(good) + u"\r\n"_s +
                                                     HistoryCsv::row(bad) + u"\r\n"_s);
    EXPECT_EQ(HistoryCsv::header(), u"time,target,kind,bytes,files,folders,seconds,outcome"_s);
    EXPECT_EQ(HistoryCsv::document({}), HistoryCsv::header() + u"\r\n"_s);
}

TEST(HistoryRulesTest, GrowthBoundsAreReadAsPercentOverDays)
{
    const struct
    {
        const char *text;
        std::optional<double> percent;
        double days;
    } cases[] = {
        {"10/7", 10, 7},
        {"2.5/0.5", 2.5, 0.5},
        {"0/1", 0, 1},
        {"10/0", std::nullopt, 0},
        {"10", std::nullopt, 0},
        {"/7", std::nullopt, 0},
        {"10/", std::nullopt, 0},
        {"-5/7", std::nullopt, 0},
        {"10%/7", std::nullopt, 0},
        {"10/7/1", std::nullopt, 0},
        {"1e2/7", std::nullopt, 0},
        {"nan/7", std::nullopt, 0},
        {" 10/7", std::nullopt, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        const std::optional<SizeGrowth::Bound> bound =
            SizeGrowth::parseBound(QString::fromLatin1(c.text));
        ASSERT_EQ(bound.has_value(), c.percent.has_value());
        if (bound) {
            EXPECT_DOUBLE_EQ(bound->percent, *c.percent);
            EXPECT_DOUBLE_EQ(bound->days, c.days);
        }
    }
}

TEST(HistoryRulesTest, GrowthAlarmComparesWithTheOldestRecordWithinTheDays)
{
    const HistoryRecord latest = sized(kNow, 1'100);
    const struct
    {
        const char *name;
        QList<HistoryRecord> records;
        HistoryRecord latest;
        SizeGrowth::Bound bound;
        bool alarm;
    } cases[] = {
        {"no earlier record", {}, latest, {10, 7}, false},
        {"only the run itself", {latest}, latest, {10, 7}, false},
        {"grew exactly the bound", {sized(kNow.addDays(-6), 1'000)}, latest, {10, 7}, false},
        {"grew past the bound", {sized(kNow.addDays(-6), 999)}, latest, {10, 7}, true},
        {"the oldest in the window counts, not the newest",
         {sized(kNow.addDays(-6), 900), sized(kNow.addDays(-1), 1'099)},
         latest,
         {10, 7},
         true},
        {"a record before the window is not compared",
         {sized(kNow.addDays(-8), 500), sized(kNow.addDays(-2), 1'050)},
         latest,
         {10, 7},
         false},
        {"the window's first moment is inside",
         {sized(kNow.addDays(-7), 500)},
         latest,
         {10, 7},
         true},
        {"a fraction of a day", {sized(kNow.addSecs(-11 * 3600), 500)}, latest, {10, 0.5}, true},
        {"failed runs are no baseline",
         {failed(kNow.addDays(-6)), sized(kNow.addDays(-1), 1'050)},
         latest,
         {10, 7},
         false},
        {"another target is no baseline",
         {sized(kNow.addDays(-6), 1, u"/srv/other"_s)},
         latest,
         {10, 7},
         false},
        {"shrinking never alarms", {sized(kNow.addDays(-1), 5'000)}, latest, {0, 7}, false},
        {"growing from nothing", {sized(kNow.addDays(-1), 0)}, latest, {1000, 7}, true},
        {"nothing stays nothing", {sized(kNow.addDays(-1), 0)}, sized(kNow, 0), {0, 7}, false},
        {"a failed run is not checked", {sized(kNow.addDays(-1), 1)}, failed(kNow), {10, 7}, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString line = SizeGrowth::alert(c.records, c.latest, c.bound);
        EXPECT_EQ(!line.isEmpty(), c.alarm) << line.toStdString();
        EXPECT_FALSE(line.contains(u'\n'));
    }
    EXPECT_EQ(SizeGrowth::alert({sized(kNow.addDays(-6), 1'000)}, sized(kNow, 1'500), {10, 7}),
              u"alert: '/srv/data' grew by 50% in 6 days (1 KB on 2026-12-04T02:30:00Z, now "
              "1.5 KB), more than 10% in 7 days"_s);
}

TEST(HistoryRulesTest, SizeAlarmGoesOffOnlyAboveTheBound)
{
    EXPECT_EQ(SizeGrowth::aboveAlert(sized(kNow, 500'000'000'001ULL), 500'000'000'000ULL),
              u"alert: '/srv/data' is 500 GB (500000000001 B), above 500 GB"_s);
    EXPECT_TRUE(
        SizeGrowth::aboveAlert(sized(kNow, 500'000'000'000ULL), 500'000'000'000ULL).isEmpty());
    EXPECT_TRUE(SizeGrowth::aboveAlert(failed(kNow), 0).isEmpty());
}

TEST(HistoryRulesTest, GrowthPerDayUsesTheLastDaysOfRecords)
{
    const struct
    {
        const char *name;
        QList<HistoryRecord> records;
        int days;
        std::optional<double> perDay;
    } cases[] = {
        {"none", {}, 7, std::nullopt},
        {"one record", {sized(kNow.addDays(-1), 10)}, 7, std::nullopt},
        {"two records", {sized(kNow.addDays(-4), 100), sized(kNow.addDays(-2), 300)}, 7, 100},
        {"shrinking", {sized(kNow.addDays(-4), 300), sized(kNow.addDays(-2), 100)}, 7, -100},
        {"the oldest is outside the week",
         {sized(kNow.addDays(-20), 0), sized(kNow.addDays(-6), 100), sized(kNow, 700)},
         7,
         100},
        {"the month takes it in",
         {sized(kNow.addDays(-20), 0), sized(kNow.addDays(-6), 100), sized(kNow, 700)},
         30,
         35},
        {"failures are skipped",
         {sized(kNow.addDays(-2), 100), failed(kNow.addDays(-1)), sized(kNow, 300)},
         7,
         100},
        {"same moment", {sized(kNow, 1), sized(kNow, 2)}, 7, std::nullopt},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<double> perDay = SizeGrowth::perDay(c.records, kNow, c.days);
        ASSERT_EQ(perDay.has_value(), c.perDay.has_value());
        if (perDay) {
            EXPECT_NEAR(*perDay, *c.perDay, 1e-6);
        }
    }
    const QString summary = SizeGrowth::summary(
        {sized(kNow.addDays(-20), 0), sized(kNow.addDays(-6), 100'000), sized(kNow, 700'000)},
        kNow);
    EXPECT_TRUE(summary.startsWith(u"Latest size: 700 KB, measured "_s)) << summary.toStdString();
    EXPECT_TRUE(summary.endsWith(u"over the last week: +100 KB; over the last month: +35 KB."_s))
        << summary.toStdString();
    EXPECT_EQ(SizeGrowth::summary({failed(kNow)}, kNow),
              u"No size of this target is recorded yet."_s);
    EXPECT_TRUE(
        SizeGrowth::summary({sized(kNow, 5)}, kNow).contains(u"week: not enough records"_s));
}

TEST(HistoryRulesTest, HistoryOptionsBelongToTheirCommands)
{
    using Action = CommandLine::Action;
    const struct
    {
        const char *name;
        QStringList arguments;
        Action action;
        QString errorPart;
    } cases[] = {
        {"history", {u"--history"_s, u"/srv/data"_s}, Action::ShowHistory, {}},
        {"history since a day",
         {u"--history"_s, u"/d"_s, u"--since"_s, u"2026-12-01"_s},
         Action::ShowHistory,
         {}},
        {"history with a run",
         {u"--history"_s, u"/d"_s, u"--folder"_s, u"/d"_s, u"--log"_s, u"/l"_s},
         Action::Reject,
         u"--history"_s},
        {"history twice",
         {u"--history"_s, u"/d"_s, u"--history"_s, u"/e"_s},
         Action::Reject,
         u"more than once"_s},
        {"since alone", {u"--since"_s, u"2026-12-01"_s}, Action::Reject, u"--since needs"_s},
        {"since not a date",
         {u"--history"_s, u"/d"_s, u"--since"_s, u"yesterday"_s},
         Action::Reject,
         u"yesterday"_s},
        {"alarms with a run",
         {u"--folder"_s, u"/d"_s, u"--log"_s, u"/l"_s, u"--alert-above"_s, u"2TB"_s,
          u"--alert-growth"_s, u"10/7"_s},
         Action::MeasureOnce,
         {}},
        {"alarm without a run", {u"--alert-above"_s, u"2TB"_s}, Action::Reject, u"--alert-above"_s},
        {"alarm in a headless launch",
         {u"--headless"_s, u"--alert-growth"_s, u"10/7"_s},
         Action::Reject,
         u"--alert-growth"_s},
        {"a size that is none",
         {u"--file"_s, u"/a"_s, u"--log"_s, u"/l"_s, u"--alert-above"_s, u"2TiB"_s},
         Action::Reject,
         u"'2TiB'"_s},
        {"a growth that is none",
         {u"--file"_s, u"/a"_s, u"--log"_s, u"/l"_s, u"--alert-growth"_s, u"10"_s},
         Action::Reject,
         u"PERCENT/DAYS"_s},
        {"no history in a window launch", {u"--no-history"_s}, Action::Run, {}},
        {"help wins", {u"--history"_s, u"/d"_s, u"--help"_s}, Action::ShowHelp, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const CommandLine::Parsed parsed =
            CommandLine::parse(QStringList{u"/usr/bin/zemra"_s} + c.arguments);
        EXPECT_EQ(parsed.action, c.action);
        EXPECT_TRUE(parsed.error.contains(c.errorPart)) << parsed.error.toStdString();
    }
    const CommandLine::Parsed alarms = CommandLine::parse(
        {u"zemra"_s, u"--folder"_s, u"/d"_s, u"--log"_s, u"/l"_s, u"--alert-above"_s, u"500GB"_s,
         u"--alert-growth"_s, u"10/7"_s, u"--no-history"_s});
    EXPECT_EQ(alarms.alertAbove, 500'000'000'000ULL);
    ASSERT_TRUE(alarms.alertGrowth.has_value());
    EXPECT_DOUBLE_EQ(alarms.alertGrowth->percent, 10);
    EXPECT_DOUBLE_EQ(alarms.alertGrowth->days, 7);
    EXPECT_TRUE(alarms.noHistory);
    const CommandLine::Parsed history =
        CommandLine::parse({u"zemra"_s, u"--history"_s, u"/srv/a, b"_s});
    EXPECT_EQ(history.historyTarget, u"/srv/a, b"_s);
    EXPECT_FALSE(history.since.isValid());
    EXPECT_FALSE(history.noHistory);
}

TEST(HistoryRulesTest, SinceIsReadAsUtcUnlessAnOffsetIsGiven)
{
    const struct
    {
        const char *text;
        QDateTime utc;
    } cases[] = {
        {"2026-12-01", QDateTime(QDate(2026, 12, 1), QTime(0, 0), Qt::UTC)},
        {"2026-12-01T06:30", QDateTime(QDate(2026, 12, 1), QTime(6, 30), Qt::UTC)},
        {"2026-12-01T06:30:00Z", QDateTime(QDate(2026, 12, 1), QTime(6, 30), Qt::UTC)},
        {"2026-12-01T06:30:00+02:00", QDateTime(QDate(2026, 12, 1), QTime(4, 30), Qt::UTC)},
        {"2026-13-01", QDateTime()},
        {"01/12/2026", QDateTime()},
        {"", QDateTime()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        const QDateTime since = CommandLine::parseSince(QString::fromLatin1(c.text));
        EXPECT_EQ(since.isValid(), c.utc.isValid());
        if (c.utc.isValid()) {
            EXPECT_EQ(since, c.utc);
        }
    }
}
