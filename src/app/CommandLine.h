#pragma once

#include "history/SizeGrowth.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

// The program's command-line options, parsed before any window system is touched, so that
// --help, --version and a wrong argument are answered even where no display can be reached.
//
// The options: -h/--help, -v/--version, --headless, the one-shot run --file PATH or
// --folder PATH with --log FILE and its alarms --alert-above SIZE and --alert-growth
// PERCENT/DAYS, --no-history, and --history PATH with --since DATE. The options Qt's application
// object reads itself
// (-platform, -style, -display, ...) are accepted here and left in place for it. Single-dash
// words are whole option names, as Qt's own options are ("-platform", not "-p -l -a ...").
namespace CommandLine {

enum class Action {
    Run,         // start the program
    MeasureOnce, // measure the target given at once, without a window, and exit
    ShowHistory, // print the size history of historyTarget as CSV, exit 0 (1 when empty)
    ShowHelp,    // print helpText() on standard output, exit 0
    ShowVersion, // print versionText() on standard output, exit 0
    Reject,      // print the error in one line on standard error, exit 2
};

struct Parsed
{
    Action action = Action::Run;
    // --headless: run on Qt's offscreen platform, showing no window.
    bool headless = false;
    // The value of Qt's -platform option, empty when it was not given.
    QString platform;
    // For MeasureOnce: what to measure, and where the run log goes ("-": standard output).
    bool folder = false;
    QString target;
    QString logPath;
    // For MeasureOnce: the alarms, when given. alertAbove in bytes.
    std::optional<std::uint64_t> alertAbove;
    std::optional<SizeGrowth::Bound> alertGrowth;
    // --no-history: this launch adds no record to the size history.
    bool noHistory = false;
    // For ShowHistory: the target as the run log names it, and the earliest time of a
    // record to print (invalid: from the first).
    QString historyTarget;
    QDateTime since;
    // For Reject: one line saying what is wrong, without the program name.
    QString error;
};

// The time --since names: an ISO 8601 date (that day's start) or date and time; without a
// zone or offset it is UTC. Invalid for anything else. Pure.
[[nodiscard]] QDateTime parseSince(const QString &text);

// arguments[0] is the program as it was started; the rest are its arguments. Help and
// version win over everything else given with them, an error over both. A one-shot run
// needs exactly one of --file and --folder, and --log; none of the three may be given
// twice, nor with --headless. The alarms belong to a one-shot run, --since to --history,
// which stands alone.
[[nodiscard]] Parsed parse(const QStringList &arguments);

// The usage and the options, ending in a line break; programName heads the usage line.
[[nodiscard]] QString helpText(const QString &programName);

// One line: the product name and the version the About window shows.
[[nodiscard]] QString versionText();

// Carries out ShowHelp, ShowVersion or Reject: prints and returns the exit status. Help
// and version show in a message box where no one would see them printed (Windows, no
// console); an error is only printed.
[[nodiscard]] int answer(const Parsed &parsed, const QString &programName);

inline constexpr int UsageErrorStatus = 2;
// A one-shot run whose size passed --alert-above or --alert-growth.
inline constexpr int AlarmStatus = 3;

} // namespace CommandLine
