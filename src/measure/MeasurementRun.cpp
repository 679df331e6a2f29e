#include "measure/MeasurementRun.h"

#include "measure/GuardedSizeQuery.h"
#include "measure/LogFileGuard.h"
#include "measure/RunFailureNotice.h"
#include "measure/RunLog.h"
#include "measure/RunLogTexts.h"
#include "measure/SizeDisplay.h"
#include "platform/PathText.h"
#include "platform/TextFileWriter.h"
#include "platform/Timer.h"
#include "schedule/RunTexts.h"
#include "settings/SettingsStore.h"
#include "ui/MainWindow.h"
#include "ui/TextBox.h"
#include "ui/TickBox.h"

#include <QDebug>

namespace {

QString failureStatus(SizeError error)
{
    switch (error) {
    case SizeError::NotFound:
        return RunTexts::targetNotFound();
    case SizeError::NotAFile:
        return RunTexts::notAFile();
    case SizeError::NotAFolder:
        return RunTexts::notAFolder();
    case SizeError::AccessDenied:
        return RunTexts::accessDenied();
    case SizeError::None:
    case SizeError::Other:
        break;
    }
    return RunTexts::sizingFailed();
}

} // namespace

MeasurementRun::MeasurementRun(MainWindow &window, SettingsStore &store, QString executableName,
                               SizeQueryFactory createSizeQuery,
                               const NumberFormatter &numberFormatter,
                               TextFileWriter &textFileWriter)
    : m_window(window), m_store(store), m_executableName(std::move(executableName)),
      m_createSizeQuery(std::move(createSizeQuery)), m_numberFormatter(numberFormatter),
      m_textFileWriter(textFileWriter)
{}

void MeasurementRun::attach()
{
    // The tick is the boundary: an exception must not reach the event loop, and the run
    // still has to end, or its timer would go on requesting it.
    QObject::connect(m_window.timers().FILE_FOLDER_SIZER_TIMER, &Timer::ticked, &m_window, [this] {
        try {
            perform();
        } catch (const std::exception &error) {
            abandon(QString::fromLocal8Bit(error.what()));
        } catch (...) {
            abandon(QStringLiteral("unknown failure"));
        }
    });
}

void MeasurementRun::perform()
{
    Ui::ZEMRA_MAIN &form = m_window.form();

    form.RUN_NOW_BUTTON->setEnabled(false);
    m_failureReasons.clear();
    m_store.writePath(Setting::TargetPath, form.FF_LOCATION_TEXTBOX->text());
    m_store.writePath(Setting::LogFilePath, form.LOGFILE_TEXTBOX->text());

    QString failure;
    if (TickBox::isTicked(*form.USE_FILE_TICKBOX)) {
        form.CURRENT_STATUS_LABEL->setText(RunTexts::running());
        failure = pass(TargetKind::File);
    }
    // A failed file pass ends the measuring: the folder pass could only overwrite the error
    // report with a figure for a target the user did not mean.
    if (failure.isEmpty() && TickBox::isTicked(*form.USE_FOLDER_TICKBOX))
        failure = pass(TargetKind::Folder);

    const QString logPath = form.LOGFILE_TEXTBOX->text();
    const QString refusal =
        LogFileGuard::refusal(logPath, form.FF_LOCATION_TEXTBOX->text(), m_store.storageFilePath());
    const WriteResult written =
        refusal.isEmpty() ? m_textFileWriter.write(logPath, RunFailureNotice::runLogToWrite(form))
                          : WriteResult{false, refusal};
    RunFailureNotice::showWriteOutcome(form, written.ok, written.reason);
    if (!written.ok) {
        qWarning().noquote() << "zemra: log file not written:" << written.reason;
        m_failureReasons.append(written.reason);
        if (failure.isEmpty())
            failure = RunTexts::logFileNotWritten();
    }
    finish(failure);
}

void MeasurementRun::abandon(const QString &reason)
{
    m_failureReasons = QStringList{QStringLiteral("The run failed unexpectedly: ") + reason};
    SizeDisplay::clear(m_window.form());
    finish(RunTexts::sizingFailed());
}

void MeasurementRun::finish(const QString &failure)
{
    Ui::ZEMRA_MAIN &form = m_window.form();
    const MainTimers &timers = m_window.timers();

    RunFailureNotice::showReasons(form, m_failureReasons);
    m_lastRunFailed = !failure.isEmpty();
    if (m_lastRunFailed)
        form.CURRENT_STATUS_LABEL->setText(failure);
    else
        form.CURRENT_STATUS_LABEL->setText(RunTexts::completed());

    if (TickBox::isTicked(*form.AUTOCLOSE_TICKBOX)) {
        if (!m_lastRunFailed)
            form.CURRENT_STATUS_LABEL->setText(RunTexts::autoclosing());
        timers.AUTOCLOSE_TIMER->setEnabled(true);
    } else {
        if (!m_lastRunFailed)
            form.CURRENT_STATUS_LABEL->setText(RunTexts::ready());
        timers.AUTOCLOSE_TIMER->setEnabled(false);
        form.RUN_NOW_BUTTON->setEnabled(true);
        form.AUTO_STARTS_STOPS_BUTTON->setText(RunTexts::start());
    }
    timers.FILE_FOLDER_SIZER_TIMER->setEnabled(false);
}

QString MeasurementRun::pass(TargetKind kind)
{
    Ui::ZEMRA_MAIN &form = m_window.form();
    const QString label =
        kind == TargetKind::File ? RunLogTexts::fileLabel() : RunLogTexts::folderLabel();

    // A new service object for each pass, released when the pass ends.
    const SizeResult result = GuardedSizeQuery::ask(
        m_createSizeQuery,
        kind == TargetKind::File ? GuardedSizeQuery::Kind::File : GuardedSizeQuery::Kind::Folder,
        form.FF_LOCATION_TEXTBOX->text());

    if (!result.ok()) {
        SizeDisplay::clear(form);
        const QString reason = QString::fromStdString(result.reason);
        m_failureReasons.append(reason);
        TextBox::setText(*form.LOG_FILE_OUTPUT_TEXTBOX, composeLog(label, &reason));
        return failureStatus(result.error);
    }
    SizeDisplay::fill(form, result.bytes, m_numberFormatter);
    TextBox::setText(*form.LOG_FILE_OUTPUT_TEXTBOX, composeLog(label, nullptr));
    return {};
}

QString MeasurementRun::composeLog(const QString &targetLabel, const QString *errorReason) const
{
    Ui::ZEMRA_MAIN &form = m_window.form();
    RunLogPieces pieces;
    pieces.splitter = form.SPLITTER_LINE_TEXTBOX->text();
    pieces.banner = TextBox::text(*form.LOG_TOP_MESSAGE_TEXTBOX);
    pieces.footer = TextBox::text(*form.LOG_BOTTOM_MESSAGE_TEXTBOX);
    pieces.executableName = m_executableName;
    pieces.targetLabel = targetLabel;
    // As typed; only a NUL or an unpaired surrogate, which no file name can hold, is shown
    // as a visible marker instead of going raw into the log file.
    pieces.targetPath = PathText::printable(form.FF_LOCATION_TEXTBOX->text());
    if (errorReason)
        return RunLog::composeError(pieces, *errorReason);
    pieces.sizeBlock = TextBox::text(*form.OUTPUT_WINDOW_TEXTBOX);
    return RunLog::compose(pieces);
}
