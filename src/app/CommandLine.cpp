#include "app/CommandLine.h"

#include "history/HistoryStore.h"
#include "history/SizeUnits.h"
#include "platform/CommandLineOutput.h"
#include "ui/ProgramVersion.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QDir>

using namespace Qt::Literals::StringLiterals;

namespace {

// Options that QGuiApplication and QApplication take from the command line themselves.
// The parser must know them so that it does not reject them.
constexpr const char *QtOptionsWithValue[] = {"platform",
                                              "platformpluginpath",
                                              "platformtheme",
                                              "plugin",
                                              "qwindowgeometry",
                                              "geometry",
                                              "qwindowicon",
                                              "icon",
                                              "qwindowtitle",
                                              "title",
                                              "session",
                                              "display",
                                              "name",
                                              "style",
                                              "stylesheet",
                                              "qmljsdebugger"};
constexpr const char *QtFlagOptions[] = {"reverse", "widgetcount", "nograb",
                                         "dograb",  "sync",        "testability"};

struct Options
{
    QCommandLineOption help{{u"h"_s, u"help"_s}, u"Show this help and exit."_s};
    QCommandLineOption version{{u"v"_s, u"version"_s}, u"Show the version and exit."_s};
    QCommandLineOption headless{
        u"headless"_s,
        u"Run the stored unattended launch (AutoStart and AutoClose ticked) without showing a "
        "window (Qt's offscreen platform). Everything else happens as in a windowed launch; "
        "without both ticks it exits 2 at once."_s};
    QCommandLineOption file{u"file"_s,
                            u"Measure the file PATH once, at once and without a window, write "
                            "the run log to --log, and exit. Stored settings are neither read "
                            "nor written."_s,
                            u"PATH"_s};
    QCommandLineOption folder{u"folder"_s, u"The same for the folder tree PATH."_s, u"PATH"_s};
    QCommandLineOption log{u"log"_s,
                           u"Where --file or --folder writes the run log, replacing the file; "
                           "- for standard output."_s,
                           u"FILE"_s};
    QCommandLineOption alertAbove{
        u"alert-above"_s,
        u"With --file or --folder: when the size is above SIZE (500GB, 2TB; units B, KB, MB, "
        "GB, TB, PB of 1000), say so in one line on standard error and exit 3."_s,
        u"SIZE"_s};
    QCommandLineOption alertGrowth{
        u"alert-growth"_s,
        u"With --file or --folder: when the size grew more than PERCENT % against the oldest "
        "record of the last DAYS days in the size history, say so in one line on standard "
        "error and exit 3."_s,
        u"PERCENT/DAYS"_s};
    QCommandLineOption noHistory{u"no-history"_s,
                                 u"Add no record of this launch's run to the size history."_s};
    QCommandLineOption history{
        u"history"_s,
        u"Print the size history of PATH (as the run log names it) as CSV on standard output, "
        "oldest first, and exit: 0, or 1 when it holds no record."_s,
        u"PATH"_s};
    QCommandLineOption since{
        u"since"_s,
        u"With --history: only the records from DATE on (2024-05-01, or 2024-05-01T06:00Z; "
        "UTC unless an offset is given)."_s,
        u"DATE"_s};
    QCommandLineOption platform{u"platform"_s, u"Qt platform plugin."_s, u"name"_s};
};

void configure(QCommandLineParser &parser, Options &options)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        u"Measures the size of one file or folder tree, shows it in six decimal units\n"
        "and writes a run log. With AutoStart and AutoClose ticked, one launch measures,\n"
        "writes the log and exits by itself."_s);
    parser.addOption(options.help);
    parser.addOption(options.version);
    parser.addOption(options.headless);
    parser.addOption(options.file);
    parser.addOption(options.folder);
    parser.addOption(options.log);
    parser.addOption(options.alertAbove);
    parser.addOption(options.alertGrowth);
    parser.addOption(options.noHistory);
    parser.addOption(options.history);
    parser.addOption(options.since);
    options.platform.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(options.platform);
    for (const char *name : QtOptionsWithValue) {
        if (QLatin1StringView(name) == "platform"_L1)
            continue;
        QCommandLineOption option(QString::fromLatin1(name), QString(), u"value"_s);
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char *name : QtFlagOptions) {
        QCommandLineOption option(QString::fromLatin1(name), QString());
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

// Reads the size history's options into parsed (whose action is MeasureOnce for a one-shot
// run); returns what is wrong with them, or an empty text.
QString parseHistoryOptions(const QCommandLineParser &parser, const Options &options,
                            CommandLine::Parsed &parsed)
{
    const bool oneShot = parsed.action == CommandLine::Action::MeasureOnce;
    parsed.noHistory = parser.isSet(options.noHistory);
    if (parser.isSet(options.alertAbove) || parser.isSet(options.alertGrowth)) {
        if (!oneShot)
            return u"--alert-above and --alert-growth need --folder PATH or --file PATH with "
                   "--log FILE."_s;
    }
    if (parser.isSet(options.alertAbove)) {
        const QString text = parser.value(options.alertAbove);
        parsed.alertAbove = SizeUnits::parse(text);
        if (!parsed.alertAbove)
            return u"--alert-above: '%1' is not a size such as 500GB or 2TB."_s.arg(text);
    }
    if (parser.isSet(options.alertGrowth)) {
        const QString text = parser.value(options.alertGrowth);
        parsed.alertGrowth = SizeGrowth::parseBound(text);
        if (!parsed.alertGrowth)
            return u"--alert-growth: '%1' is not PERCENT/DAYS such as 10/7."_s.arg(text);
    }
    if (parser.isSet(options.history)) {
        if (oneShot)
            return u"--history cannot be given with --file, --folder or --log."_s;
        parsed.action = CommandLine::Action::ShowHistory;
        parsed.historyTarget = parser.value(options.history);
    }
    if (parser.isSet(options.since)) {
        if (!parser.isSet(options.history))
            return u"--since needs --history PATH."_s;
        const QString text = parser.value(options.since);
        parsed.since = CommandLine::parseSince(text);
        if (!parsed.since.isValid())
            return u"--since: '%1' is not a date such as 2024-05-01."_s.arg(text);
    }
    return {};
}

} // namespace

QDateTime CommandLine::parseSince(const QString &text)
{
    QDateTime time = QDateTime::fromString(text, Qt::ISODate);
    if (!time.isValid()) {
        const QDate day = QDate::fromString(text, Qt::ISODate);
        if (!day.isValid())
            return {};
        return QDateTime(day, QTime(0, 0), Qt::UTC);
    }
    if (time.timeSpec() == Qt::LocalTime)
        time = QDateTime(time.date(), time.time(), Qt::UTC);
    return time.toUTC();
}

CommandLine::Parsed CommandLine::parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    Options options;
    configure(parser, options);

    Parsed parsed;
    if (!parser.parse(arguments)) {
        parsed.action = Action::Reject;
        parsed.error = parser.errorText();
        return parsed;
    }
    // The program names its target and log file in its window or its settings only.
    const QStringList stray = parser.positionalArguments();
    if (!stray.isEmpty()) {
        parsed.action = Action::Reject;
        parsed.error = u"Unexpected argument '%1'."_s.arg(stray.constFirst());
        return parsed;
    }
    for (const QCommandLineOption *once :
         {&options.file, &options.folder, &options.log, &options.alertAbove, &options.alertGrowth,
          &options.history, &options.since}) {
        if (parser.values(*once).size() > 1) {
            parsed.action = Action::Reject;
            parsed.error = u"--%1 is given more than once."_s.arg(once->names().constFirst());
            return parsed;
        }
    }
    const bool file = parser.isSet(options.file);
    const bool folder = parser.isSet(options.folder);
    const bool log = parser.isSet(options.log);
    if (file && folder) {
        parsed.action = Action::Reject;
        parsed.error = u"--file and --folder cannot be given together."_s;
        return parsed;
    }
    if ((file || folder) != log) {
        parsed.action = Action::Reject;
        parsed.error = log ? u"--log needs --file PATH or --folder PATH."_s
                           : u"--file and --folder need --log FILE."_s;
        return parsed;
    }
    if (log && parser.isSet(options.headless)) {
        parsed.action = Action::Reject;
        parsed.error = u"--headless runs the stored unattended launch; it cannot be given "
                       "with --file or --folder, which never show a window."_s;
        return parsed;
    }
    if (log) {
        parsed.action = Action::MeasureOnce;
        parsed.folder = folder;
        parsed.target = parser.value(folder ? options.folder : options.file);
        parsed.logPath = parser.value(options.log);
    }
    if (const QString failed = parseHistoryOptions(parser, options, parsed); !failed.isEmpty()) {
        parsed.action = Action::Reject;
        parsed.error = failed;
        return parsed;
    }
    if (parser.isSet(options.help))
        parsed.action = Action::ShowHelp;
    else if (parser.isSet(options.version))
        parsed.action = Action::ShowVersion;
    parsed.headless = parser.isSet(options.headless);
    // Qt itself takes the last -platform given.
    const QStringList platforms = parser.values(options.platform);
    if (!platforms.isEmpty())
        parsed.platform = platforms.constLast();
    return parsed;
}

QString CommandLine::helpText(const QString &programName)
{
    QCommandLineParser parser;
    Options options;
    configure(parser, options);
    // The parser would take the program's name from the application object, which does
    // not exist yet when the program answers --help.
    QString text = parser.helpText();
    text.replace(0, text.indexOf(u'\n'),
                 u"Usage: %1 [options]\n"
                 "       %1 --folder PATH --log FILE [--alert-above SIZE] "
                 "[--alert-growth PERCENT/DAYS]\n"
                 "       %1 --file PATH --log FILE\n"
                 "       %1 --history PATH [--since DATE]"_s.arg(programName));
    text += u"\nExit status: 0 after a good run (or none), 1 when the last run failed, 2 for a\n"
            "wrong argument or when a launch without a window has nothing to do (no display,\n"
            "AutoStart and AutoClose not both ticked, settings that cannot be read), 3 when an\n"
            "alarm (--alert-above, --alert-growth) went off, 128 + N when signal N ended it\n"
            "(SIGTERM, SIGINT, SIGHUP). --history exits 0, or 1 when it finds no record.\n"
            "\nEvery run that measures adds a record to the size history (--no-history leaves\n"
            "it out), kept in %1\n"
            "See zemra(1) for scheduled use and the alarms.\n"_s.arg(
                QDir::toNativeSeparators(HistoryStore::defaultPath()));
    return text;
}

QString CommandLine::versionText()
{
    return u"Zemra-Gauge "_s + ProgramVersion::number();
}

int CommandLine::answer(const Parsed &parsed, const QString &programName)
{
    using Stream = CommandLineOutput::Stream;
    switch (parsed.action) {
    case Action::ShowHelp:
        CommandLineOutput::printOrShow(Stream::Output, helpText(programName), programName);
        return 0;
    case Action::ShowVersion:
        CommandLineOutput::printOrShow(Stream::Output, versionText() + u'\n', programName);
        return 0;
    case Action::Reject:
        // Never a message box: a scheduled job with a wrong argument must end, not wait for
        // someone to press OK. One line, which is all a cron mail needs.
        CommandLineOutput::print(Stream::Error,
                                 u"%1: %2 Try '%1 --help'.\n"_s.arg(programName, parsed.error));
        return UsageErrorStatus;
    case Action::Run:
    case Action::MeasureOnce:
    case Action::ShowHistory:
        break;
    }
    return 0;
}
