#include "measure/MeasurementRun.h"

#include "measure/FailureTexts.h"
#include "measure/FormLogPieces.h"
#include "measure/GuardedSizeQuery.h"
#include "measure/LogFileGuard.h"
#include "measure/RunFailureNotice.h"
#include "measure/RunLog.h"
#include "measure/RunLogTexts.h"
#include "measure/SizeDisplay.h"
#include "measure/SizeLines.h"
#include "platform/Clock.h"
#include "platform/Log.h"
#include "platform/PathText.h"
#include "platform/TextFileWriter.h"
#include "platform/Timer.h"
#include "platform/WorkQueue.h"
#include "schedule/RunState.h"
#include "schedule/RunTexts.h"
#include "settings/SettingsStore.h"
#include "ui/InputLock.h"
#include "ui/MainWindow.h"
#include "ui/TextBox.h"
#include "ui/TickBox.h"

namespace {

QString failureStatus(SizeError error)
{
    switch (error) {
    case SizeError::NotFound:
        return FailureTexts::targetNotFound();
    case SizeError::NotAFile:
        return FailureTexts::notAFile();
    case SizeError::NotAFolder:
        return FailureTexts::notAFolder();
    case SizeError::AccessDenied:
        return FailureTexts::accessDenied();
    case SizeError::None:
    case SizeError::Other:
    case SizeError::Cancelled:
        break;
    }
    return FailureTexts::sizingFailed();
}

} // namespace

// Work the run hands to the work queue, shared by the run and the worker thread, which may
// outlive the run once the work is abandoned.
struct MeasurementRun::Pending
{
    virtual ~Pending() = default;
    // What the work waits on, for the notice that refuses new queries past the limit. Called
    // on the user-interface thread while the worker may still run.
    [[nodiscard]] virtual QString waitingOn() const = 0;
};

// What one pass asks: the service object (made for this pass, released with the last owner)
// and its answer, which the worker writes before the answer is posted back.
struct MeasurementRun::Query final : Pending
{
    std::unique_ptr<SizeQuery> service;
    SizeResult result;
    // The target as typed, for the notices about a query that waits.
    QString targetText;

    [[nodiscard]] QString waitingOn() const override
    {
        const std::string folder = service->control().whereabouts().oldest();
        return folder.empty() ? targetText : QString::fromStdString(folder);
    }
};

// The run log's way to its file, and the outcome, written by the worker.
struct MeasurementRun::LogWrite final : Pending
{
    QString logPath;
    WriteResult result;

    [[nodiscard]] QString waitingOn() const override { return logPath; }
};

MeasurementRun::MeasurementRun(MainWindow &window, SettingsStore &store, QString executableName,
                               SizeQueryFactory createSizeQuery, const NumberLocale &numberLocale,
                               TextFileWriter &textFileWriter, WorkQueue &workQueue, Clock &clock)
    : m_window(window), m_store(store), m_executableName(std::move(executableName)),
      m_createSizeQuery(std::move(createSizeQuery)), m_numberLocale(numberLocale),
      m_textFileWriter(textFileWriter), m_workQueue(workQueue),
      m_progressTimer(clock.createTimer(&m_context, QStringLiteral("SIZE_PROGRESS_TIMER"))),
      m_inputLock(std::make_unique<InputLock>(window)),
      m_runLog(window.form().LOG_FILE_OUTPUT_TEXTBOX->text())
{}

MeasurementRun::~MeasurementRun()
{
    // The work queue waits for the query before the program ends; make that wait short.
    if (m_query)
        m_query->service->control().requestCancel();
}

void MeasurementRun::attach()
{
    QObject::connect(m_window.timers().FILE_FOLDER_SIZER_TIMER, &Timer::ticked, &m_window,
                     [this] { guarded([this] { perform(); }); });
    QObject::connect(m_progressTimer, &Timer::ticked, &m_window, [this] { showProgress(); });
}

void MeasurementRun::perform()
{
    // The timer ticks during a query or a log write only when a run was requested
    // meanwhile; it stays enabled, so that run starts at a tick after this one has ended.
    if (m_query || m_write)
        return;

    Ui::ZEMRA_MAIN &form = m_window.form();
    form.RUN_NOW_BUTTON->setEnabled(false);
    m_inputs = RunInputs::fromForm(form);
    RunState::savePaths(m_inputs.targetPath, m_inputs.logPath, m_store);

    m_failure.clear();
    m_failureReasons.clear();
    m_timerTakenOff = false;
    m_measured = false;
    if (!m_inputs.file && !m_inputs.folder) {
        m_failureReasons.append(
            QStringLiteral("Nothing was measured: neither FILE-Size nor FOLDER-Size is ticked."));
        finish();
        return;
    }
    if (m_inputs.file) {
        form.CURRENT_STATUS_LABEL->setText(RunTexts::running());
        startPass(TargetKind::File);
        return;
    }
    continueAfter(TargetKind::File);
}

void MeasurementRun::continueAfter(TargetKind kind)
{
    // A failed file pass ends the measuring: the folder pass could only overwrite the error
    // report with a figure for a target the user did not mean.
    if (kind == TargetKind::File && m_failure.isEmpty() && m_inputs.folder) {
        startPass(TargetKind::Folder);
        return;
    }
    finish();
}

void MeasurementRun::startPass(TargetKind kind)
{
    Ui::ZEMRA_MAIN &form = m_window.form();
    const QString &targetText = m_inputs.targetPath;
    m_measured = true;
    m_record = HistoryRecord{};
    m_record.time = QDateTime::currentDateTimeUtc();
    m_record.executable = m_executableName;
    m_record.target = PathText::printable(targetText);
    m_record.folder = kind == TargetKind::Folder;
    m_passClock.start();
    SizeResult refusal;
    const std::optional<std::filesystem::path> path = GuardedSizeQuery::path(targetText, refusal);
    std::unique_ptr<SizeQuery> service;
    if (const QString blocked = abandonedLimitReason(); !blocked.isEmpty())
        refusal = SizeResult::failure(SizeError::Other, blocked.toStdString());
    else if (path)
        service = GuardedSizeQuery::make(m_createSizeQuery, targetText, refusal);
    if (!service) {
        passAnswered(kind, refusal);
        return;
    }
    auto query = std::make_shared<Query>();
    query->service = std::move(service);
    query->targetText = targetText;
    m_stallWatch.reset();

    m_query = query;
    // The view to go back to should the pass be cancelled: the progress replaces it.
    m_displayBeforeQuery = form.OUTPUT_WINDOW_TEXTBOX->text();
    awaitWork();
    m_progressTimer->setInterval(500);
    m_progressTimer->setEnabled(true);

    // The work queue may answer at once (a test double does), so nothing follows this call.
    m_workQueue.run(
        &m_context,
        [query, kind, path = *path, targetText] {
            query->result =
                GuardedSizeQuery::ask(*query->service,
                                      kind == TargetKind::File ? GuardedSizeQuery::Kind::File
                                                               : GuardedSizeQuery::Kind::Folder,
                                      path, targetText);
        },
        [this, query, kind] {
            if (m_query != query) // cancelled meanwhile
                return;
            m_record.files = query->service->control().filesFound();
            m_record.folders = query->service->control().foldersFound();
            endWork();
            guarded([&] { passAnswered(kind, query->result); });
        });
}

void MeasurementRun::passAnswered(TargetKind kind, const SizeResult &result)
{
    Ui::ZEMRA_MAIN &form = m_window.form();
    const QString label =
        kind == TargetKind::File ? RunLogTexts::fileLabel() : RunLogTexts::folderLabel();
    m_record.seconds = static_cast<double>(m_passClock.elapsed()) / 1000;
    if (result.ok()) {
        m_record.bytes = result.bytes;
        const QStringList lines = SizeLines::lines(result.bytes, m_numberLocale);
        m_sizeBlock = SizeLines::block(lines);
        SizeDisplay::show(form, lines);
        m_runLog = composeLog(label, nullptr);
    } else {
        m_record.files = m_record.folders = std::nullopt;
        m_sizeBlock.clear();
        SizeDisplay::clear(form);
        const QString reason = QString::fromStdString(result.reason);
        m_failureReasons.append(reason);
        m_runLog = composeLog(label, &reason);
        m_failure = failureStatus(result.error);
    }
    // A line about an earlier failed write belongs to the run log it was shown with.
    m_writeFailureLine.clear();
    form.LOG_FILE_OUTPUT_TEXTBOX->setText(m_runLog);
    continueAfter(kind);
}

void MeasurementRun::finish()
{
    auto write = std::make_shared<LogWrite>();
    write->logPath = m_inputs.logPath;
    m_write = write;
    awaitWork();
    // The writer is one of the program's services, which outlive every thread that the
    // process does not leave behind at exit.
    m_workQueue.run(
        &m_context,
        [write, &writer = m_textFileWriter, runLog = m_runLog, target = m_inputs.targetPath,
         settingsFile = m_store.storageFilePath()] {
            write->result =
                LogFileGuard::write(writer, write->logPath, runLog, target, settingsFile);
        },
        [this, write] {
            if (m_write != write) // cancelled meanwhile
                return;
            endWork();
            guarded([&] { logWritten(write->result); });
        });
}

void MeasurementRun::logWritten(const WriteResult &written)
{
    // The box shows the run log, and below it why it is in no file when the write failed.
    m_writeFailureLine =
        written.ok ? QString() : RunFailureNotice::writeFailureLine(written.reason);
    m_window.form().LOG_FILE_OUTPUT_TEXTBOX->setText(shownRunLog());
    if (!written.ok) {
        m_failureReasons.append(written.reason);
        if (m_failure.isEmpty())
            m_failure = FailureTexts::logFileNotWritten();
    }
    handOver();
}

void MeasurementRun::awaitWork()
{
    // Once per run: a run requested during an earlier piece of work (the folder pass after
    // the file pass, the log write after a pass) enabled the timer again, and must not be
    // lost.
    if (!m_timerTakenOff) {
        m_window.timers().FILE_FOLDER_SIZER_TIMER->setEnabled(false);
        m_timerTakenOff = true;
    }
    m_inputLock->engage({m_window.form().AUTO_STARTS_STOPS_BUTTON});
}

void MeasurementRun::handOver()
{
    Ui::ZEMRA_MAIN &form = m_window.form();
    const MainTimers &timers = m_window.timers();

    showReasons(m_failureReasons);
    m_lastRunFailed = !m_failureReasons.isEmpty();
    if (m_lastRunFailed)
        qCWarning(zemraLog).noquote()
            << "run failed:" << m_failureReasons.join(QStringLiteral("; "));
    // A run that measured nothing shows the run's own texts; its failure is in the tooltip.
    const bool failureShown = !m_failure.isEmpty();
    if (failureShown)
        form.CURRENT_STATUS_LABEL->setText(m_failure);
    else
        form.CURRENT_STATUS_LABEL->setText(RunTexts::completed());

    if (TickBox::isTicked(*form.AUTOCLOSE_TICKBOX)) {
        if (!failureShown)
            form.CURRENT_STATUS_LABEL->setText(RunTexts::autoclosing());
        timers.AUTOCLOSE_TIMER->setEnabled(true);
    } else {
        timers.AUTOCLOSE_TIMER->setEnabled(false);
        // A failure's status text stays; a new run can be requested either way.
        if (failureShown)
            RunState::allowRequests(form);
        else
            RunState::enterReady(form);
    }
    // After a query the timer is already off, and enabled only by a request made meanwhile,
    // which must not be lost.
    if (!m_timerTakenOff)
        timers.FILE_FOLDER_SIZER_TIMER->setEnabled(false);

    if (m_runEnded) {
        std::optional<HistoryRecord> record;
        if (m_measured) {
            record = m_record;
            record->outcome = m_lastRunFailed ? m_failureReasons.join(QStringLiteral("; "))
                                              : QString(HistoryRecord::goodOutcome());
        }
        m_runEnded(record);
    }
}

MeasurementRun::Cancelled MeasurementRun::cancel()
{
    Cancelled cancelled = Cancelled::Nothing;
    if (m_query) {
        m_query->service->control().requestCancel();
        m_abandoned.push_back(m_query);
        m_window.form().OUTPUT_WINDOW_TEXTBOX->setText(m_displayBeforeQuery);
        showReasons({QStringLiteral("The measurement was cancelled; no log file was written.")});
        cancelled = Cancelled::Measurement;
    } else if (m_write) {
        m_abandoned.push_back(m_write);
        showReasons({QStringLiteral("The run was cancelled while its log file \"%1\" was being "
                                    "written; the file may or may not hold the new run log.")
                         .arg(PathText::printable(m_write->logPath))});
        cancelled = Cancelled::LogWrite;
    } else {
        return Cancelled::Nothing;
    }
    endWork();
    m_lastRunFailed = true;
    return cancelled;
}

void MeasurementRun::guarded(const std::function<void()> &step)
{
    // The run's steps are event handlers: an exception must not reach the event loop, and
    // the run still has to end, or its timer would go on requesting it.
    try {
        step();
    } catch (const std::exception &error) {
        abandon(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        abandon(QStringLiteral("unknown failure"));
    }
}

void MeasurementRun::abandon(const QString &reason)
{
    if (m_query) {
        m_query->service->control().requestCancel();
        m_abandoned.push_back(m_query);
    } else if (m_write) {
        m_abandoned.push_back(m_write);
    }
    endWork();
    m_failureReasons = QStringList{QStringLiteral("The run failed unexpectedly: ") + reason};
    m_failure = FailureTexts::sizingFailed();
    m_sizeBlock.clear();
    SizeDisplay::clear(m_window.form());
    handOver();
}

void MeasurementRun::showProgress()
{
    if (!m_query)
        return;
    // The first update comes after half a second, the next ones five times a second.
    const int sinceLastTick = m_progressTimer->interval();
    m_progressTimer->setInterval(200);
    const SizeQueryControl &control = m_query->service->control();
    m_stallWatch.watch(control, sinceLastTick, m_query->targetText);
    m_window.form().OUTPUT_WINDOW_TEXTBOX->setText(
        SizeLines::bytesLine(control.bytesFound(), m_numberLocale));
}

void MeasurementRun::setStandingNotice(const QString &notice)
{
    m_standingNotice = notice;
    showReasons({});
}

void MeasurementRun::showReasons(const QStringList &reasons)
{
    RunFailureNotice::showReasons(m_window.form(), m_standingNotice.isEmpty()
                                                       ? reasons
                                                       : QStringList{m_standingNotice} + reasons);
}

QString MeasurementRun::abandonedLimitReason()
{
    std::erase_if(m_abandoned,
                  [](const std::weak_ptr<Pending> &pending) { return pending.expired(); });
    if (m_abandoned.size() < MaxAbandoned)
        return {};
    const std::shared_ptr<Pending> blocked = m_abandoned.front().lock();
    return QStringLiteral("%1 earlier measurements are still waiting on '%2', which does not "
                          "answer; no new measurement starts until they end or the program "
                          "is restarted.")
        .arg(m_abandoned.size())
        .arg(blocked ? blocked->waitingOn() : QString());
}

void MeasurementRun::endWork()
{
    m_query.reset();
    m_write.reset();
    m_progressTimer->setEnabled(false);
    m_inputLock->release();
}

QString MeasurementRun::composeLog(const QString &targetLabel, const QString *errorReason) const
{
    Ui::ZEMRA_MAIN &form = m_window.form();
    RunLogPieces pieces = formLogPieces(form, m_executableName);
    pieces.targetLabel = targetLabel;
    // As typed; only a NUL or an unpaired surrogate, which no file name can hold, is shown
    // as a visible marker instead of going raw into the log file.
    pieces.targetPath = PathText::printable(m_inputs.targetPath);
    if (errorReason)
        return RunLog::composeError(pieces, *errorReason);
    pieces.sizeBlock = m_sizeBlock;
    return RunLog::compose(pieces);
}

QString MeasurementRun::shownRunLog() const
{
    return m_runLog + m_writeFailureLine;
}
