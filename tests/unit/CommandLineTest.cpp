#include "AppHarness.h"
#include "ModalWindow.h"

#include "app/CommandLine.h"
#include "ui/ProgramVersion.h"

#include <QLabel>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

using Action = CommandLine::Action;

struct ParseCase
{
    const char *name;
    QStringList arguments; // without the program
    Action action;
    bool headless;
    QString platform;
    QString errorPart; // a piece of the error text, for Reject
};

QStringList withProgram(const QStringList &arguments)
{
    return QStringList{u"/usr/bin/zemra"_s} + arguments;
}

} // namespace

TEST(CommandLineTest, ParsesTheProgramsOptionsAndLeavesQtsOwnAlone)
{
    const ParseCase cases[] = {
        {"nothing", {}, Action::Run, false, {}, {}},
        {"help", {u"--help"_s}, Action::ShowHelp, false, {}, {}},
        {"short help", {u"-h"_s}, Action::ShowHelp, false, {}, {}},
        {"version", {u"--version"_s}, Action::ShowVersion, false, {}, {}},
        {"short version", {u"-v"_s}, Action::ShowVersion, false, {}, {}},
        {"help wins over version", {u"--version"_s, u"--help"_s}, Action::ShowHelp, false, {}, {}},
        {"headless", {u"--headless"_s}, Action::Run, true, {}, {}},
        {"headless with one dash", {u"-headless"_s}, Action::Run, true, {}, {}},
        {"Qt platform", {u"-platform"_s, u"offscreen"_s}, Action::Run, false, u"offscreen"_s, {}},
        {"Qt platform with =", {u"--platform=xcb"_s}, Action::Run, false, u"xcb"_s, {}},
        {"last platform counts",
         {u"-platform"_s, u"xcb"_s, u"-platform"_s, u"wayland"_s},
         Action::Run,
         false,
         u"wayland"_s,
         {}},
        {"Qt style and flags",
         {u"-style"_s, u"Fusion"_s, u"-reverse"_s, u"-qwindowtitle"_s, u"x"_s},
         Action::Run,
         false,
         {},
         {}},
        {"Qt display option", {u"-display"_s, u":3"_s, u"--headless"_s}, Action::Run, true, {}, {}},
        {"unknown option", {u"--nonsense"_s}, Action::Reject, false, {}, u"nonsense"_s},
        {"unknown short option", {u"-x"_s}, Action::Reject, false, {}, u"'x'"_s},
        {"single-dash words are not short options", {u"-hv"_s}, Action::Reject, false, {}, u"hv"_s},
        {"stray argument", {u"/some/path"_s}, Action::Reject, false, {}, u"/some/path"_s},
        {"stray argument after an option",
         {u"--headless"_s, u"extra"_s},
         Action::Reject,
         true,
         {},
         u"extra"_s},
        {"error wins over help",
         {u"--help"_s, u"--bogus"_s},
         Action::Reject,
         false,
         {},
         u"bogus"_s},
        {"stray argument wins over version",
         {u"--version"_s, u"file"_s},
         Action::Reject,
         false,
         {},
         u"file"_s},
        {"option value missing", {u"-platform"_s}, Action::Reject, false, {}, u"platform"_s},
        {"value given to a flag", {u"--headless=yes"_s}, Action::Reject, false, {}, u"headless"_s},
        {"one-shot file",
         {u"--file"_s, u"/a"_s, u"--log"_s, u"/l"_s},
         Action::MeasureOnce,
         false,
         {},
         {}},
        {"one-shot folder to stdout",
         {u"--log=-"_s, u"--folder"_s, u"/d"_s},
         Action::MeasureOnce,
         false,
         {},
         {}},
        {"one-shot without a log", {u"--folder"_s, u"/d"_s}, Action::Reject, false, {}, u"--log"_s},
        {"a log without a target", {u"--log"_s, u"/l"_s}, Action::Reject, false, {}, u"--folder"_s},
        {"both kinds",
         {u"--file"_s, u"/a"_s, u"--folder"_s, u"/d"_s, u"--log"_s, u"/l"_s},
         Action::Reject,
         false,
         {},
         u"together"_s},
        {"headless with a one-shot run",
         {u"--headless"_s, u"--folder"_s, u"/d"_s, u"--log"_s, u"/l"_s},
         Action::Reject,
         false,
         {},
         u"--headless"_s},
        {"an option given twice",
         {u"--folder"_s, u"/d"_s, u"--log"_s, u"/l"_s, u"--log"_s, u"/m"_s},
         Action::Reject,
         false,
         {},
         u"--log is given more than once"_s},
        {"help wins over a one-shot",
         {u"--folder"_s, u"/d"_s, u"--log"_s, u"/l"_s, u"-h"_s},
         Action::ShowHelp,
         false,
         {},
         {}},
    };
    for (const ParseCase &c : cases) {
        SCOPED_TRACE(c.name);
        const CommandLine::Parsed parsed = CommandLine::parse(withProgram(c.arguments));
        EXPECT_EQ(parsed.action, c.action);
        if (c.action == Action::Reject) {
            EXPECT_TRUE(parsed.error.contains(c.errorPart)) << parsed.error.toStdString();
            EXPECT_FALSE(parsed.error.contains(u'\n'));
            continue;
        }
        EXPECT_TRUE(parsed.error.isEmpty());
        EXPECT_EQ(parsed.headless, c.headless);
        EXPECT_EQ(parsed.platform, c.platform);
        if (c.action == Action::MeasureOnce) {
            // What a one-shot measures and where its log goes, as given.
            const bool folder = c.arguments.contains(u"--folder"_s);
            EXPECT_EQ(parsed.folder, folder);
            EXPECT_EQ(parsed.target, folder ? u"/d"_s : u"/a"_s);
            EXPECT_EQ(parsed.logPath, folder ? u"-"_s : u"/l"_s);
        }
    }
}

TEST(CommandLineTest, HelpNamesTheProgramAndEveryOptionButQtsOwn)
{
    const QString help = CommandLine::helpText(u"sizer"_s);
    EXPECT_TRUE(help.startsWith(u"Usage: sizer [options]\n"_s)) << help.toStdString();
    for (const QString &shown : {u"--help"_s, u"--version"_s, u"--headless"_s, u"Exit status"_s,
                                 u"sizer --folder PATH --log FILE"_s, u"--file <PATH>"_s})
        EXPECT_TRUE(help.contains(shown)) << shown.toStdString();
    for (const QString &hidden : {u"-platform"_s, u"-style"_s, u"--help-all"_s})
        EXPECT_FALSE(help.contains(hidden)) << hidden.toStdString();
    EXPECT_TRUE(help.endsWith(u'\n'));
}

TEST(CommandLineTest, VersionAgreesWithTheAboutWindow)
{
    AppHarness app;
    app.launch();
    app.show();
    // The About window is opened only once its owner is up and active, as a user's click
    // would find it: events of the windows that earlier tests closed are handled by then.
    ASSERT_TRUE(QTest::qWaitForWindowActive(&app.window()));
    QString aboutVersion;
    whileModal(app.form().ABOUT_BUTTON, [&](QWidget &about) {
        const auto *label = about.findChild<QLabel *>(u"ZEMRA_VERSION"_s);
        ASSERT_NE(label, nullptr);
        aboutVersion = label->text();
        about.close();
    });
    ASSERT_TRUE(aboutVersion.startsWith(u"Version "_s)) << aboutVersion.toStdString();
    const QString number = aboutVersion.mid(8);
    EXPECT_FALSE(number.isEmpty());
    EXPECT_EQ(CommandLine::versionText(), u"Zemra-Gauge "_s + number);
    EXPECT_EQ(number, ProgramVersion::number());
}
