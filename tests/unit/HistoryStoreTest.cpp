#include "RealFilesHarness.h"
#include "SizeQueryInChild.h"
#include "WrittenFile.h"

#include "app/HistoryCommand.h"
#include "app/OneShotHistory.h"
#include "history/HistoryCsv.h"
#include "history/HistoryRecorder.h"
#include "history/HistoryStore.h"
#include "measure/OneShotRun.h"
#include "platform/doubles/RecordingTextFileWriter.h"
#include "platform/ThreadWorkQueue.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <mutex>
#include <set>

using namespace Qt::Literals::StringLiterals;

namespace {

// Collects the program's messages while it lives, from any thread.
class Warnings
{
public:
    Warnings() : m_previous(qInstallMessageHandler(collect))
    {
        const std::lock_guard lock(s_mutex);
        s_lines.clear();
    }
    ~Warnings() { qInstallMessageHandler(m_previous); }
    [[nodiscard]] QStringList lines() const
    {
        const std::lock_guard lock(s_mutex);
        return s_lines;
    }

private:
    static void collect(QtMsgType, const QMessageLogContext &, const QString &message)
    {
        const std::lock_guard lock(s_mutex);
        s_lines.append(message);
    }
    static inline std::mutex s_mutex;
    static inline QStringList s_lines;
    QtMessageHandler m_previous;
};

HistoryRecord recordOf(const QString &target, qint64 secondsAfter2026, std::uint64_t bytes)
{
    HistoryRecord record;
    record.time = QDateTime(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC).addSecs(secondsAfter2026);
    record.executable = u"zemra"_s;
    record.target = target;
    record.folder = true;
    record.bytes = bytes;
    record.files = 7;
    record.folders = 3;
    record.seconds = 0.25;
    record.outcome = HistoryRecord::goodOutcome();
    return record;
}

// A folder tree of 1234567 + 2 bytes in two files, with two folders inside.
void makeTree(const QString &root)
{
    ASSERT_TRUE(QDir(root).mkpath(u"sub/deeper"_s));
    writeFile(root + u"/a.bin"_s, QByteArray(1234567, 'a'));
    writeFile(root + u"/sub/deeper/b.bin"_s, "bb");
}

// A one-shot run of target followed by its history step, as main() wires them.
struct OneShot
{
    int status = -1;
};
OneShot runOnce(const HistoryStore &history, const QString &target, const QString &log,
                OneShotHistory::Request request, bool folder = true)
{
    VirtualClock clock;
    FixedNumberLocale numberLocale;
    SaveFileWriter writer;
    FakeWorkQueue workQueue;
    RecordingTextFileWriter standardOutput;
    OneShotRun run({clock, &createSizeQuery, numberLocale, writer, workQueue, standardOutput,
                    u"zemra"_s, QString()},
                   {folder, target, log});
    OneShotHistory after(history, request, workQueue, clock);
    QObject::connect(&run, &OneShotRun::finished, &after,
                     [&](int status) { after.afterRun(status, run.record()); });
    QSignalSpy finished(&after, &OneShotHistory::finished);
    run.start();
    if (finished.count() != 1)
        return {};
    return {finished.at(0).at(0).toInt()};
}

} // namespace

TEST(HistoryStoreTest, RecordsComeBackAsTheyWereAddedOldestFirst)
{
    QTemporaryDir folder;
    const HistoryStore store(folder.path() + u"/ZEMRA/history.sqlite"_s);
    const QString target = u"/srv/reports, 2024/caf\u00e9 \"q\""_s;
    HistoryRecord huge = recordOf(target, 300, (1ULL << 62) + 5);
    HistoryRecord failedRun = recordOf(target, 100, 0);
    failedRun.folder = false;
    failedRun.bytes = failedRun.files = failedRun.folders = std::nullopt;
    failedRun.outcome = u"Cannot open folder '/srv': Permission denied; and more"_s;
    HistoryRecord sameSecond = recordOf(target, 300, 9);
    sameSecond.time = sameSecond.time.addMSecs(1);
    for (const HistoryRecord &record :
         {huge, failedRun, recordOf(u"/srv/other"_s, 200, 1), sameSecond})
        ASSERT_TRUE(store.add(record).ok);

    const HistoryStore::Read read = store.records(target);
    ASSERT_TRUE(read.ok) << read.reason.toStdString();
    ASSERT_EQ(read.records.size(), 3);
    EXPECT_EQ(HistoryCsv::document(read.records),
              HistoryCsv::document({failedRun, huge, sameSecond}));
    EXPECT_EQ(read.records[0].time, failedRun.time);
    EXPECT_EQ(read.records[0].time.timeSpec(), Qt::UTC);
    EXPECT_EQ(read.records[1].executable, u"zemra"_s);
    EXPECT_EQ(read.records[2].time, sameSecond.time);

    const HistoryStore::Read since = store.records(target, failedRun.time.addSecs(1));
    ASSERT_EQ(since.records.size(), 2);
    EXPECT_EQ(since.records[0].bytes, huge.bytes);
    EXPECT_TRUE(store.records(u"/srv/none"_s).records.isEmpty());

    // The file is in write-ahead-log mode, which concurrent launches rely on.
    {
        QSqlDatabase database = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"inspect"_s);
        database.setDatabaseName(store.path());
        ASSERT_TRUE(database.open());
        QSqlQuery mode(u"PRAGMA journal_mode"_s, database);
        ASSERT_TRUE(mode.next());
        EXPECT_EQ(mode.value(0).toString(), u"wal"_s);
    }
    QSqlDatabase::removeDatabase(u"inspect"_s);
}

TEST(HistoryStoreTest, AMissingDatabaseHoldsNoRecordsAndIsNotMadeByReading)
{
    QTemporaryDir folder;
    const HistoryStore store(folder.path() + u"/ZEMRA/history.sqlite"_s);
    const HistoryStore::Read read = store.records(u"/srv/data"_s);
    EXPECT_TRUE(read.ok);
    EXPECT_TRUE(read.records.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(folder.path() + u"/ZEMRA"_s));
    const HistoryCommand::Answer answer = HistoryCommand::answer(store, u"/srv/data"_s, {});
    EXPECT_EQ(answer.exitStatus, 1);
    EXPECT_TRUE(answer.output.isEmpty());
    EXPECT_TRUE(answer.error.isEmpty());
}

// Launches started together each add their records while the others hold locks: none is lost.
TEST(HistoryStoreTest, ConcurrentProcessesLoseNoRecord)
{
    QTemporaryDir folder;
    const HistoryStore store(folder.path() + u"/history.sqlite"_s);
    // The driver is loaded before the children are made, as it is in each launch.
    ASSERT_TRUE(store.records(u"x"_s).ok);
    constexpr int Children = 6;
    constexpr int Each = 15;
    int start[2];
    ASSERT_EQ(::pipe(start), 0);
    std::vector<pid_t> children;
    for (int child = 0; child < Children; ++child) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::close(start[1]);
            char go = 0;
            const bool started = ::read(start[0], &go, 1) == 0; // all start when it closes
            int failures = started ? 0 : 1;
            for (int i = 0; i < Each; ++i)
                failures += store.add(recordOf(u"/t"_s, child * 1000 + i,
                                               static_cast<std::uint64_t>(child * 1000 + i)))
                                    .ok
                                ? 0
                                : 1;
            ::_exit(failures);
        }
        ASSERT_GT(pid, 0);
        children.push_back(pid);
    }
    ::close(start[0]);
    ::close(start[1]);
    for (const pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child failures " << status;
    }
    const HistoryStore::Read read = store.records(u"/t"_s);
    ASSERT_TRUE(read.ok) << read.reason.toStdString();
    std::set<std::uint64_t> seen;
    for (const HistoryRecord &record : read.records)
        seen.insert(*record.bytes);
    EXPECT_EQ(read.records.size(), Children * Each);
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(Children * Each));
}

// The recorder hands each record to a thread of its own; the end of a launch waits for them.
TEST(HistoryStoreTest, RecorderThreadsAddEveryRecordBeforeTheLaunchEnds)
{
    QTemporaryDir folder;
    Warnings warnings;
    ThreadWorkQueue workQueue;
    HistoryRecorder recorder(HistoryStore(folder.path() + u"/new/history.sqlite"_s), workQueue);
    for (int i = 0; i < 24; ++i)
        recorder.add(recordOf(u"/t"_s, i, static_cast<std::uint64_t>(i)));
    EXPECT_TRUE(recorder.waitForWrites(HistoryRecorder::ExitWait));
    EXPECT_EQ(recorder.store().records(u"/t"_s).records.size(), 24);
    EXPECT_TRUE(warnings.lines().isEmpty()) << warnings.lines().join(u'\n').toStdString();
}

TEST(HistoryStoreTest, UnusableDatabasesFailWithOneLineNamingTheFile)
{
    QTemporaryDir folder;
    const QString corrupt = folder.path() + u"/corrupt.sqlite"_s;
    writeFile(corrupt, QByteArray(8192, 'x'));
    const QString blocked = folder.path() + u"/blocked"_s;
    writeFile(blocked, "a file where the folder should be");
    const QString aFolder = folder.path() + u"/a-folder.sqlite"_s;
    ASSERT_TRUE(QDir().mkpath(aFolder));
    for (const QString &path : {corrupt, blocked + u"/ZEMRA/history.sqlite"_s, aFolder}) {
        SCOPED_TRACE(path.toStdString());
        const HistoryStore store(path);
        const WriteResult written = store.add(recordOf(u"/t"_s, 0, 1));
        EXPECT_FALSE(written.ok);
        EXPECT_TRUE(written.reason.startsWith(u"Cannot add the run to the size history"_s))
            << written.reason.toStdString();
        EXPECT_FALSE(written.reason.contains(u'\n'));
        const HistoryCommand::Answer answer = HistoryCommand::answer(store, u"/t"_s, {});
        EXPECT_EQ(answer.exitStatus, 1);
        EXPECT_TRUE(answer.output.isEmpty());
        if (path != blocked + u"/ZEMRA/history.sqlite"_s) {
            EXPECT_TRUE(answer.error.contains(QDir::toNativeSeparators(path)))
                << answer.error.toStdString();
            EXPECT_FALSE(answer.error.contains(u'\n'));
        }
    }
    EXPECT_EQ(RealFilesHarness::bytesOf(corrupt), QByteArray(8192, 'x'));
}

// A database its user may read but not write (as root, the child runs as nobody).
TEST(HistoryStoreTest, AReadOnlyDatabaseIsReadButNotWritten)
{
    QTemporaryDir folder;
    const QString path = folder.path() + u"/history.sqlite"_s;
    const HistoryStore store(path);
    ASSERT_TRUE(store.add(recordOf(u"/t"_s, 0, 1)).ok);
    // Checkpointed into the file: a reader that cannot write could not use the log.
    {
        QSqlDatabase database = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"checkpoint"_s);
        database.setDatabaseName(path);
        ASSERT_TRUE(database.open());
        QSqlQuery(u"PRAGMA journal_mode = DELETE"_s, database);
    }
    QSqlDatabase::removeDatabase(u"checkpoint"_s);
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0444), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(folder.path()).constData(), 0555), 0);
    const SizeResult answer = inChild({true, 0}, [&] {
        if (store.add(recordOf(u"/t"_s, 1, 2)).ok)
            return SizeResult::failure(SizeError::Other, "a read-only database took a record");
        const HistoryStore::Read read = store.records(u"/t"_s);
        if (!read.ok)
            return SizeResult::failure(SizeError::Other, read.reason.toStdString());
        return SizeResult::of(static_cast<std::uint64_t>(read.records.size()));
    });
    ::chmod(QFile::encodeName(folder.path()).constData(), 0755);
    ASSERT_TRUE(answer.ok()) << answer.reason;
    EXPECT_EQ(answer.bytes, 1U);
}

// Window runs, an unattended run and a one-shot run each add one record with what they
// measured; a run that measures nothing adds none.
TEST(HistoryStoreTest, EveryRunThatMeasuresAddsOneRecord)
{
    RealFilesHarness window;
    const QString tree = window.files() + u"/tree, one"_s;
    makeTree(tree);
    const HistoryStore store(window.files() + u"/data/ZEMRA/history.sqlite"_s);
    FakeWorkQueue historyQueue;
    HistoryRecorder recorder(store, historyQueue);
    window.store(u"USE_FOLDER_TICKBOX"_s, u"1"_s);
    window.store(u"FF_LOCATION_TEXTBOX"_s, tree);
    window.store(u"LOGFILE_TEXTBOX"_s, window.files() + u"/run.log"_s);
    window.launch();
    window.controller().keepHistory(store, &recorder);
    const QDateTime before = QDateTime::currentDateTimeUtc().addMSecs(-1);

    window.runNow(); // good
    window.form().FF_LOCATION_TEXTBOX->setText(tree + u"/missing"_s);
    window.runNow(); // fails
    window.form().USE_FOLDER_TICKBOX->setChecked(false);
    window.runNow(); // measures nothing
    // The unattended launch: AutoStart's countdown, the run, AutoClose.
    window.form().FF_LOCATION_TEXTBOX->setText(tree);
    window.form().USE_FOLDER_TICKBOX->setChecked(true);
    window.form().AUTOCLOSE_TICKBOX->setChecked(true);
    window.form().AUTO_STARTS_STOPS_BUTTON->click();
    window.advance(10000 + 3000);
    EXPECT_FALSE(window.controller().lastRunFailed());
    const OneShot oneShot = runOnce(store, tree, window.files() + u"/one.log"_s, {});
    EXPECT_EQ(oneShot.status, 0);

    const QList<HistoryRecord> records = store.records(tree).records;
    const QList<HistoryRecord> missing = store.records(tree + u"/missing"_s).records;
    ASSERT_EQ(records.size(), 3);
    ASSERT_EQ(missing.size(), 1);
    for (const HistoryRecord &record : records) {
        EXPECT_EQ(record.bytes, 1234569U);
        EXPECT_EQ(record.files, 2U);
        EXPECT_EQ(record.folders, 2U);
        EXPECT_TRUE(record.folder);
        EXPECT_EQ(record.outcome, u"good"_s);
        EXPECT_EQ(record.executable, u"zemra"_s);
        EXPECT_GE(record.time, before);
        EXPECT_LE(record.time, QDateTime::currentDateTimeUtc());
        EXPECT_GE(record.seconds, 0);
    }
    EXPECT_FALSE(missing[0].bytes.has_value());
    EXPECT_FALSE(missing[0].files.has_value());
    EXPECT_TRUE(missing[0].outcome.contains(u"missing"_s)) << missing[0].outcome.toStdString();

    // A file counts as one file and no folder.
    const OneShot file = runOnce(store, tree + u"/a.bin"_s, u"-"_s, {}, false);
    EXPECT_EQ(file.status, 0);
    const QList<HistoryRecord> fileRecords = store.records(tree + u"/a.bin"_s).records;
    ASSERT_EQ(fileRecords.size(), 1);
    EXPECT_FALSE(fileRecords[0].folder);
    EXPECT_EQ(fileRecords[0].files, 1U);
    EXPECT_EQ(fileRecords[0].folders, 0U);
}

TEST(HistoryStoreTest, NoHistoryLeavesTheRecordOut)
{
    RealFilesHarness window;
    const QString tree = window.files() + u"/tree"_s;
    makeTree(tree);
    const HistoryStore store(window.files() + u"/history.sqlite"_s);
    window.store(u"USE_FOLDER_TICKBOX"_s, u"1"_s);
    window.store(u"FF_LOCATION_TEXTBOX"_s, tree);
    window.store(u"LOGFILE_TEXTBOX"_s, window.files() + u"/run.log"_s);
    window.launch();
    window.controller().keepHistory(store, nullptr);
    window.runNow();
    EXPECT_EQ(runOnce(store, tree, u"-"_s, {false, {}, {}}).status, 0);
    EXPECT_FALSE(QFileInfo::exists(store.path()));
}

// A history that cannot be written says so once and changes nothing about the run.
TEST(HistoryStoreTest, AnUnwritableHistoryNeverFailsTheRun)
{
    RealFilesHarness window;
    const QString tree = window.files() + u"/tree"_s;
    makeTree(tree);
    const QString corrupt = window.files() + u"/history.sqlite"_s;
    writeFile(corrupt, QByteArray(4096, '\x7f'));
    const HistoryStore store(corrupt);
    FakeWorkQueue historyQueue;
    HistoryRecorder recorder(store, historyQueue);
    window.store(u"USE_FOLDER_TICKBOX"_s, u"1"_s);
    window.store(u"FF_LOCATION_TEXTBOX"_s, tree);
    window.store(u"LOGFILE_TEXTBOX"_s, window.files() + u"/run.log"_s);
    window.launch();
    window.controller().keepHistory(store, &recorder);
    {
        Warnings warnings;
        window.runNow();
        EXPECT_FALSE(window.controller().lastRunFailed());
        EXPECT_EQ(window.form().CURRENT_STATUS_LABEL->text(), u"READY..."_s);
        EXPECT_TRUE(window.form().RUN_NOW_BUTTON->isEnabled());
        ASSERT_EQ(warnings.lines().size(), 1) << warnings.lines().join(u'\n').toStdString();
        EXPECT_TRUE(warnings.lines()[0].contains(corrupt)) << warnings.lines()[0].toStdString();
    }
    EXPECT_FALSE(RealFilesHarness::bytesOf(window.files() + u"/run.log"_s).isEmpty());
    {
        Warnings warnings;
        EXPECT_EQ(runOnce(store, tree, window.files() + u"/one.log"_s, {}).status, 0);
        EXPECT_EQ(warnings.lines().size(), 1) << warnings.lines().join(u'\n').toStdString();
        // The growth alarm cannot read it either: one more line, and the run still succeeds.
        Warnings growth;
        EXPECT_EQ(runOnce(store, tree, u"-"_s, {false, {}, SizeGrowth::Bound{1, 7}}).status, 0);
        EXPECT_EQ(growth.lines().size(), 1) << growth.lines().join(u'\n').toStdString();
    }
}

TEST(HistoryStoreTest, AlarmsSetExitStatusThreeAndTheLogIsWrittenAsAlways)
{
    const struct
    {
        const char *name;
        std::optional<std::uint64_t> above;
        std::optional<SizeGrowth::Bound> growth;
        std::uint64_t earlierBytes; // recorded one day before the run
        bool missingTarget;
        int status;
    } cases[] = {
        {"no alarm asked", std::nullopt, std::nullopt, 1, false, 0},
        {"below the size bound", 1234569, std::nullopt, 1, false, 0},
        {"above the size bound", 1234568, std::nullopt, 1, false, 3},
        {"grew too fast", std::nullopt, SizeGrowth::Bound{10, 7}, 1'000'000, false, 3},
        {"grew slowly enough", std::nullopt, SizeGrowth::Bound{30, 7}, 1'000'000, false, 0},
        {"the earlier record is older than the days", std::nullopt, SizeGrowth::Bound{10, 0.5},
         1'000'000, false, 0},
        {"both, one passed", 5'000'000, SizeGrowth::Bound{10, 7}, 1'000'000, false, 3},
        {"a failed run is no alarm", 0, SizeGrowth::Bound{0, 7}, 1, true, 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir folder;
        const QString tree = folder.path() + u"/tree"_s;
        makeTree(tree);
        const QString target = c.missingTarget ? tree + u"/gone"_s : tree;
        const HistoryStore store(folder.path() + u"/history.sqlite"_s);
        HistoryRecord earlier = recordOf(target, 0, c.earlierBytes);
        earlier.time = QDateTime::currentDateTimeUtc().addDays(-1);
        ASSERT_TRUE(store.add(earlier).ok);
        const QString log = folder.path() + u"/run.log"_s;
        Warnings warnings;
        EXPECT_EQ(runOnce(store, target, log, {true, c.above, c.growth}).status, c.status);
        const QStringList lines = warnings.lines();
        ASSERT_EQ(lines.size(), c.status == 0 ? 0 : 1) << lines.join(u'\n').toStdString();
        if (c.status == 3) {
            EXPECT_TRUE(lines[0].startsWith(u"alert: '"_s + target)) << lines[0].toStdString();
        }
        EXPECT_FALSE(RealFilesHarness::bytesOf(log).isEmpty());
        EXPECT_EQ(store.records(target).records.size(), 2);
    }
}
