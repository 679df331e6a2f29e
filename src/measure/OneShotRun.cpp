#include "measure/OneShotRun.h"

#include "measure/FormLogPieces.h"
#include "measure/GuardedSizeQuery.h"
#include "measure/LogFileGuard.h"
#include "measure/RunLog.h"
#include "measure/RunLogTexts.h"
#include "measure/SizeLines.h"
#include "platform/Clock.h"
#include "platform/Log.h"
#include "platform/PathText.h"
#include "platform/TerminationSignals.h"
#include "platform/TextFileWriter.h"
#include "platform/Timer.h"
#include "platform/WorkQueue.h"

// The query and its answer, shared with the worker thread, which may outlive the run.
struct OneShotRun::Query
{
    std::unique_ptr<SizeQuery> service;
    SizeResult result;
};

struct OneShotRun::LogWrite
{
    WriteResult result;
};

namespace {

constexpr int ProgressTickMs = 200;

} // namespace

OneShotRun::OneShotRun(Services services, Request request)
    : m_services(std::move(services)), m_request(std::move(request))
{
    m_form.setupUi(&m_formHost);
    m_pieces = formLogPieces(m_form, m_services.executableName);
    m_pieces.targetLabel = m_request.folder ? RunLogTexts::folderLabel() : RunLogTexts::fileLabel();
    m_pieces.targetPath = PathText::printable(m_request.target);
    m_progressTimer = m_services.clock.createTimer(this, QStringLiteral("ONE_SHOT_PROGRESS_TIMER"));
    connect(m_progressTimer, &Timer::ticked, this, &OneShotRun::watchProgress);
}

OneShotRun::~OneShotRun()
{
    if (m_query)
        m_query->service->control().requestCancel();
}

void OneShotRun::start()
{
    m_measuring.time = QDateTime::currentDateTimeUtc();
    m_measuring.executable = m_services.executableName;
    m_measuring.target = m_pieces.targetPath;
    m_measuring.folder = m_request.folder;
    m_clock.start();
    SizeResult refusal;
    const std::optional<std::filesystem::path> path =
        GuardedSizeQuery::path(m_request.target, refusal);
    std::unique_ptr<SizeQuery> service;
    if (path)
        service = GuardedSizeQuery::make(m_services.createSizeQuery, m_request.target, refusal);
    if (!service) {
        answered(refusal);
        return;
    }
    m_query = std::make_shared<Query>();
    m_query->service = std::move(service);
    m_progressTimer->setInterval(ProgressTickMs);
    m_progressTimer->setEnabled(true);
    const GuardedSizeQuery::Kind kind =
        m_request.folder ? GuardedSizeQuery::Kind::Folder : GuardedSizeQuery::Kind::File;
    m_services.workQueue.run(
        this,
        [query = m_query, kind, path = *path, target = m_request.target] {
            query->result = GuardedSizeQuery::ask(*query->service, kind, path, target);
        },
        [this, query = m_query] {
            if (m_query != query)
                return;
            m_measuring.files = query->service->control().filesFound();
            m_measuring.folders = query->service->control().foldersFound();
            answered(query->result);
        });
}

void OneShotRun::cancelOnSignal(int signalNumber)
{
    const QString cause = TerminationSignals::name(signalNumber);
    if (m_query) {
        m_query->service->control().requestCancel();
        m_query.reset();
        qCWarning(zemraLog).noquote()
            << "measurement cancelled by" << cause + QStringLiteral("; no log file written");
    } else if (m_write) {
        m_write.reset();
        qCWarning(zemraLog).noquote()
            << "log write cancelled by"
            << cause + QStringLiteral("; the log may not hold this run's log");
    }
    finish(128 + signalNumber);
}

void OneShotRun::answered(const SizeResult &result)
{
    m_query.reset();
    m_progressTimer->setEnabled(false);
    QString runLog;
    m_measuring.seconds = static_cast<double>(m_clock.elapsed()) / 1000;
    if (result.ok())
        m_measuring.bytes = result.bytes;
    else
        m_measuring.files = m_measuring.folders = std::nullopt;
    if (result.ok()) {
        RunLogPieces pieces = m_pieces;
        pieces.sizeBlock =
            SizeLines::block(SizeLines::lines(result.bytes, m_services.numberLocale));
        runLog = RunLog::compose(pieces);
    } else {
        m_reasons.append(QString::fromStdString(result.reason));
        runLog = RunLog::composeError(m_pieces, m_reasons.constLast());
    }

    // The writers are services of main(), which outlive every thread the process does not
    // leave behind at exit.
    const bool toStandardOutput = m_request.logPath == QLatin1String("-");
    TextFileWriter &writer =
        toStandardOutput ? m_services.standardOutput : m_services.textFileWriter;
    m_write = std::make_shared<LogWrite>();
    m_services.workQueue.run(
        this,
        [write = m_write, &writer, toStandardOutput, runLog, logPath = m_request.logPath,
         target = m_request.target, settingsFile = m_services.settingsFilePath] {
            write->result = toStandardOutput ? writer.write(logPath, runLog)
                                             : LogFileGuard::write(writer, logPath, runLog, target,
                                                                   settingsFile);
        },
        [this, write = m_write] {
            if (m_write == write)
                written(write->result);
        });
}

void OneShotRun::written(const WriteResult &result)
{
    m_write.reset();
    if (!result.ok)
        m_reasons.append(result.reason);
    if (!m_reasons.isEmpty())
        qCWarning(zemraLog).noquote() << "run failed:" << m_reasons.join(QStringLiteral("; "));
    m_record = m_measuring;
    m_record->outcome = m_reasons.isEmpty() ? QString(HistoryRecord::goodOutcome())
                                            : m_reasons.join(QStringLiteral("; "));
    finish(m_reasons.isEmpty() ? 0 : 1);
}

void OneShotRun::watchProgress()
{
    if (!m_query)
        return;
    m_stallWatch.watch(m_query->service->control(), ProgressTickMs, m_request.target);
}

void OneShotRun::finish(int exitStatus)
{
    if (m_finished)
        return;
    m_finished = true;
    emit finished(exitStatus);
}
