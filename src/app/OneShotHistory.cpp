#include "app/OneShotHistory.h"

#include "platform/Clock.h"
#include "platform/Log.h"
#include "platform/Timer.h"
#include "platform/WorkQueue.h"

#include <cmath>
#include <memory>

using namespace Qt::Literals::StringLiterals;

OneShotHistory::OneShotHistory(HistoryStore history, Request request, WorkQueue &workQueue,
                               Clock &clock)
    : m_history(std::move(history)), m_request(request), m_workQueue(workQueue),
      m_limit(clock.createTimer(this, u"HISTORY_LIMIT_TIMER"_s))
{
    connect(m_limit, &Timer::ticked, this, [this] {
        m_limit->setEnabled(false);
        qCWarning(zemraLog).noquote()
            << u"The size history %1 did not answer within %2 s; this run may be missing "
               "from it."_s.arg(m_history.path())
                   .arg(LimitMs / 1000);
        // The size bound needs no history.
        conclude({});
    });
}

void OneShotHistory::afterRun(int runStatus, const std::optional<HistoryRecord> &record)
{
    m_started = true;
    m_runStatus = runStatus;
    m_record = record;
    const bool add = m_request.addRecord && record;
    const bool readGrowth = m_request.alertGrowth && runStatus == 0 && record && record->bytes;
    if (!add && !readGrowth) {
        conclude({});
        return;
    }
    struct Answer
    {
        QList<HistoryRecord> records;
    };
    auto answer = std::make_shared<Answer>();
    // Records from a little before the growth window: the window is measured from this
    // run's start, which the read must not cut off by a rounding.
    const QDateTime since =
        readGrowth ? record->time.addMSecs(-static_cast<qint64>(std::ceil(
                                               m_request.alertGrowth->days * 24 * 60 * 60 * 1000)) -
                                           1000)
                   : QDateTime();
    m_limit->setInterval(LimitMs);
    m_limit->setEnabled(true);
    // The line about a failure is the worker's own: it stands even when the limit passed.
    m_workQueue.run(
        this,
        [history = m_history, record = *record, add, readGrowth, since, answer] {
            if (add) {
                const WriteResult written = history.add(record);
                if (!written.ok)
                    qCWarning(zemraLog).noquote() << written.reason;
            }
            if (readGrowth) {
                const HistoryStore::Read read = history.records(record.target, since);
                if (!read.ok)
                    qCWarning(zemraLog).noquote() << read.reason;
                answer->records = read.records;
            }
        },
        [this, answer] {
            if (m_finished)
                return;
            m_limit->setEnabled(false);
            conclude(answer->records);
        });
}

void OneShotHistory::conclude(const QList<HistoryRecord> &records)
{
    if (m_finished)
        return;
    QStringList alerts;
    if (m_runStatus == 0 && m_record) {
        if (m_request.alertAbove) {
            if (const QString alert = SizeGrowth::aboveAlert(*m_record, *m_request.alertAbove);
                !alert.isEmpty())
                alerts.append(alert);
        }
        if (m_request.alertGrowth) {
            if (const QString alert = SizeGrowth::alert(records, *m_record, *m_request.alertGrowth);
                !alert.isEmpty())
                alerts.append(alert);
        }
    }
    if (alerts.isEmpty()) {
        finish(m_runStatus);
        return;
    }
    qCWarning(zemraLog).noquote() << alerts.join(u"; "_s);
    finish(AlarmStatus);
}

void OneShotHistory::cancelOnSignal(int signalNumber)
{
    if (m_started)
        finish(128 + signalNumber);
}

void OneShotHistory::finish(int exitStatus)
{
    if (m_finished)
        return;
    m_finished = true;
    m_limit->setEnabled(false);
    emit finished(exitStatus);
}
