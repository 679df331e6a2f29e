#pragma once

#include "history/HistoryRecord.h"
#include "platform/WriteResult.h"

#include <QDateTime>
#include <QList>
#include <QString>

// The size history: a per-user SQLite database (Qt SQL's QSQLITE driver) with one row per
// measurement run, shared by every launch of the program.
//
// Each call opens a connection of its own on the calling thread and closes it before it
// returns, so the store may be used from any thread, by several at once, and by several
// processes at once: the database is in write-ahead-log mode and each statement waits up to
// BusyTimeoutMs for a lock another launch holds, so concurrent launches all get their
// records in. Calls block for as long as the file system takes; a window calls them away
// from its own thread.
class HistoryStore
{
public:
    // path: the database file; it and its folder are made by the first add().
    explicit HistoryStore(QString path);

    // $XDG_DATA_HOME/ZEMRA/history.sqlite (~/.local/share/ZEMRA/history.sqlite when it is not
    // set) on Linux; the local application-data folder's ZEMRA\history.sqlite on Windows.
    [[nodiscard]] static QString defaultPath();

    [[nodiscard]] const QString &path() const { return m_path; }

    // Adds one record. On failure (a folder or file that cannot be made or written, a file
    // that is not a database, a lock held beyond the busy timeout) the reason names the file
    // and gives the database's message, on one line.
    [[nodiscard]] WriteResult add(const HistoryRecord &record) const;

    // The records of target (the path as the run log shows it), oldest first; since, when
    // valid, leaves out those made before it. A database that does not exist yet holds no
    // records. ok is false, with reason, when it exists but cannot be read.
    struct Read
    {
        bool ok = false;
        QString reason;
        QList<HistoryRecord> records;
    };
    [[nodiscard]] Read records(const QString &target, const QDateTime &since = {}) const;

    static constexpr int BusyTimeoutMs = 5000;

private:
    QString m_path;
};
