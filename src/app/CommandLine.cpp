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
        u"Run without showing a window (Qt's offscreen platform), for scheduled unattended "
        "runs. Everything else happens as in a windowed launch."_s};
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
    text.replace(0, text.indexOf(u'\n'), u"Usage: %1 [options]"_s.arg(programName));
    text += u"\nExit status: 0 after a good run, 1 when the last run failed, 2 for a wrong\n"
            "argument or when no display can be reached. See zemra(1) for scheduled use.\n"_s;
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
        CommandLineOutput::printOrShow(
            Stream::Error, programName + u": "_s + parsed.error + u'\n' + helpText(programName),
            programName);
        return UsageErrorStatus;
    case Action::Run:
        break;
    }
    return 0;
}
