#include "app/HistoryCommand.h"

#include "history/HistoryCsv.h"
#include "platform/CommandLineOutput.h"
#include "platform/Log.h"

HistoryCommand::Answer HistoryCommand::answer(const HistoryStore &history, const QString &target,
                                              const QDateTime &since)
{
    const HistoryStore::Read read = history.records(target, since);
    if (!read.ok)
        return {1, {}, read.reason};
    if (read.records.isEmpty())
        return {1, {}, {}};
    return {0, HistoryCsv::document(read.records), {}};
}

int HistoryCommand::run(const HistoryStore &history, const QString &target, const QDateTime &since)
{
    const Answer answered = answer(history, target, since);
    if (!answered.error.isEmpty())
        qCWarning(zemraLog).noquote() << answered.error;
    if (!answered.output.isEmpty() &&
        !CommandLineOutput::print(CommandLineOutput::Stream::Output, answered.output))
        return 1;
    return answered.exitStatus;
}
