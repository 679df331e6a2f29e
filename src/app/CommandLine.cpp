#include "app/CommandLine.h"

#include "platform/CommandLineOutput.h"
#include "ui/ProgramVersion.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

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

} // namespace

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
    for (const QCommandLineOption *once : {&options.file, &options.folder, &options.log}) {
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
                 "       %1 --folder PATH --log FILE\n"
                 "       %1 --file PATH --log FILE"_s.arg(programName));
    text += u"\nExit status: 0 after a good run (or none), 1 when the last run failed, 2 for a\n"
            "wrong argument or when a launch without a window has nothing to do (no display,\n"
            "AutoStart and AutoClose not both ticked, settings that cannot be read), 128 + N\n"
            "when signal N ended it (SIGTERM, SIGINT, SIGHUP). See zemra(1) for scheduled use.\n"_s;
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
        break;
    }
    return 0;
}
