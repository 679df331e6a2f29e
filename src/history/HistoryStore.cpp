#include "history/HistoryStore.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QThread>
#include <QVariant>

#include <atomic>
#include <functional>
#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace {

// Milliseconds keep runs made within one second in order; the fixed width keeps text order
// the same as time order.
constexpr QStringView kTimeFormat = u"yyyy-MM-dd'T'HH:mm:ss.zzz'Z'";

constexpr QLatin1StringView kCreateTable = "CREATE TABLE IF NOT EXISTS runs ("
                                           "id INTEGER PRIMARY KEY, "
                                           "time TEXT NOT NULL, "
                                           "executable TEXT NOT NULL, "
                                           "target TEXT NOT NULL, "
                                           "kind TEXT NOT NULL CHECK (kind IN ('file', 'folder')), "
                                           "bytes INTEGER, files INTEGER, folders INTEGER, "
                                           "seconds REAL NOT NULL, "
                                           "outcome TEXT NOT NULL)"_L1;
constexpr QLatin1StringView kCreateIndex =
    "CREATE INDEX IF NOT EXISTS runs_by_target ON runs (target, time)"_L1;

QString timeText(const QDateTime &time)
{
    return time.toUTC().toString(kTimeFormat);
}

QDateTime timeOf(const QString &text)
{
    return QDateTime(QDate::fromString(text.left(10), Qt::ISODate),
                     QTime::fromString(text.mid(11, 12), u"HH:mm:ss.zzz"_s), Qt::UTC);
}

// SQLite keeps signed 64-bit integers; no file or tree comes near 2^63 bytes.
QVariant countValue(const std::optional<std::uint64_t> &count)
{
    if (!count)
        return QVariant(QMetaType::fromType<qint64>());
    return QVariant::fromValue(
        static_cast<qint64>(std::min<std::uint64_t>(*count, std::numeric_limits<qint64>::max())));
}

std::optional<std::uint64_t> countOf(const QVariant &value)
{
    if (value.isNull())
        return std::nullopt;
    return static_cast<std::uint64_t>(std::max<qint64>(0, value.toLongLong()));
}

QString oneLine(QString text)
{
    text.replace(u'\n', u' ');
    text.replace(u'\r', u' ');
    return text.simplified();
}

// Why an attempt failed (empty text: it did not), and whether only because another
// connection held a lock.
struct Failure
{
    QString text;
    bool busy = false;
};

Failure errorOf(const QSqlError &error)
{
    // SQLite's extended result codes; the low byte is the primary one.
    constexpr int Busy = 5;
    constexpr int Locked = 6;
    const int primary = error.nativeErrorCode().toInt() & 0xff;
    return {oneLine(error.text()), primary == Busy || primary == Locked};
}

// Runs use() on a connection of its own to path, made on the calling thread, and removes
// the connection afterwards. Returns use()'s failure, or the opening's.
Failure withConnection(const QString &path, const std::function<Failure(QSqlDatabase &)> &use)
{
    static std::atomic<unsigned> number{0};
    const QString name = u"zemra-history-%1"_s.arg(number.fetch_add(1));
    Failure failure;
    {
        QSqlDatabase database = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
        if (!database.isValid()) {
            failure.text = u"the SQLite driver of Qt SQL (QSQLITE) is not installed"_s;
        } else {
            database.setDatabaseName(path);
            database.setConnectOptions(
                u"QSQLITE_BUSY_TIMEOUT=%1"_s.arg(HistoryStore::BusyTimeoutMs));
            if (!database.open())
                failure = errorOf(database.lastError());
            else
                failure = use(database);
            database.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return failure;
}

// withConnection() again while it fails only on a lock, for about BusyTimeoutMs in all.
// SQLite answers some locks at once instead of waiting for them (a write whose snapshot
// another launch has just outdated, the switch of a new file into WAL mode), and a launch
// that gave up on those would lose its record.
Failure withRetries(const QString &path, const std::function<Failure(QSqlDatabase &)> &use)
{
    QElapsedTimer elapsed;
    elapsed.start();
    for (int attempt = 1;; ++attempt) {
        Failure failure = withConnection(path, use);
        if (!failure.busy || elapsed.elapsed() >= HistoryStore::BusyTimeoutMs)
            return failure;
        // Spread out, so that launches that collided do not collide again.
        const auto pause = QRandomGenerator::global()->bounded(10U, 40U) *
                           static_cast<unsigned>(std::min(attempt, 5));
        QThread::msleep(pause);
    }
}

Failure exec(QSqlDatabase &database, const QString &statement)
{
    QSqlQuery query(database);
    return query.exec(statement) ? Failure{} : errorOf(query.lastError());
}

} // namespace

HistoryStore::HistoryStore(QString path) : m_path(std::move(path)) {}

QString HistoryStore::defaultPath()
{
    // GenericDataLocation is $XDG_DATA_HOME (or ~/.local/share) on Linux and the local
    // application-data folder on Windows.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           u"/ZEMRA/history.sqlite"_s;
}

WriteResult HistoryStore::add(const HistoryRecord &record) const
{
    const QString folder = QFileInfo(m_path).absolutePath();
    if (!QDir().mkpath(folder))
        return {false, u"Cannot add the run to the size history: cannot make the folder %1"_s.arg(
                           QDir::toNativeSeparators(folder))};
    const Failure failure = withRetries(m_path, [&](QSqlDatabase &database) -> Failure {
        // The log mode stays with the file: made once, kept by every later open.
        QSqlQuery mode(database);
        if (!mode.exec(u"PRAGMA journal_mode = WAL"_s))
            return errorOf(mode.lastError());
        mode.finish();
        for (const QString &statement : {QString(kCreateTable), QString(kCreateIndex)}) {
            if (Failure failed = exec(database, statement); !failed.text.isEmpty())
                return failed;
        }
        QSqlQuery insert(database);
        insert.prepare(u"INSERT INTO runs (time, executable, target, kind, bytes, files, "
                       "folders, seconds, outcome) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"_s);
        insert.addBindValue(timeText(record.time));
        insert.addBindValue(record.executable);
        insert.addBindValue(record.target);
        insert.addBindValue(QString(record.kind()));
        insert.addBindValue(countValue(record.bytes));
        insert.addBindValue(countValue(record.files));
        insert.addBindValue(countValue(record.folders));
        insert.addBindValue(record.seconds);
        insert.addBindValue(record.outcome);
        return insert.exec() ? Failure{} : errorOf(insert.lastError());
    });
    if (failure.text.isEmpty())
        return {true, {}};
    return {false, u"Cannot add the run to the size history %1: %2"_s.arg(
                       QDir::toNativeSeparators(m_path), failure.text)};
}

HistoryStore::Read HistoryStore::records(const QString &target, const QDateTime &since) const
{
    Read read;
    if (!QFileInfo::exists(m_path)) {
        read.ok = true;
        return read;
    }
    const Failure failure = withRetries(m_path, [&](QSqlDatabase &database) -> Failure {
        read.records.clear();
        QSqlQuery select(database);
        select.setForwardOnly(true);
        // A database that another launch has just made may not hold the table yet.
        if (!select.exec(u"SELECT count(*) FROM sqlite_master WHERE type = 'table' AND "
                         "name = 'runs'"_s))
            return errorOf(select.lastError());
        if (!select.next() || select.value(0).toInt() == 0)
            return {};
        select.finish();
        select.prepare(u"SELECT time, executable, target, kind, bytes, files, folders, "
                       "seconds, outcome FROM runs WHERE target = ? AND time >= ? "
                       "ORDER BY time, id"_s);
        select.addBindValue(target);
        // Every stored time sorts after "0"; an empty text would be bound as NULL.
        select.addBindValue(since.isValid() ? timeText(since) : u"0"_s);
        if (!select.exec())
            return errorOf(select.lastError());
        while (select.next()) {
            HistoryRecord record;
            record.time = timeOf(select.value(0).toString());
            record.executable = select.value(1).toString();
            record.target = select.value(2).toString();
            record.folder = select.value(3).toString() == "folder"_L1;
            record.bytes = countOf(select.value(4));
            record.files = countOf(select.value(5));
            record.folders = countOf(select.value(6));
            record.seconds = select.value(7).toDouble();
            record.outcome = select.value(8).toString();
            read.records.append(record);
        }
        return select.lastError().isValid() ? errorOf(select.lastError()) : Failure{};
    });
    if (failure.text.isEmpty()) {
        read.ok = true;
    } else {
        read.records.clear();
        read.reason = u"Cannot read the size history %1: %2"_s.arg(QDir::toNativeSeparators(m_path),
                                                                   failure.text);
    }
    return read;
}
