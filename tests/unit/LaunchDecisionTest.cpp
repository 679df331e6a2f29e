#include "app/LaunchDecision.h"
#include "app/StartupCheck.h"
#include "platform/IniFileSettingsBackend.h"
#include "settings/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>

using namespace Qt::Literals::StringLiterals;

using Mode = LaunchDecision::Mode;

TEST(LaunchDecisionTest, LaunchesWithoutAWindowRunOnlyWithReadableUnattendedSettings)
{
    struct Case
    {
        bool headless, showsWindows, readable, unattended;
        Mode mode;
    };
    const Case cases[] = {
        {false, true, true, false, Mode::Windowed},
        {false, true, true, true, Mode::Windowed},
        {false, true, false, false, Mode::Windowed},
        {true, true, true, false, Mode::NothingToDo},
        {true, false, true, false, Mode::NothingToDo},
        {true, false, true, true, Mode::Headless},
        {true, true, true, true, Mode::Headless},
        {false, false, true, true, Mode::UnattendedNoDisplay},
        {false, false, true, false, Mode::NoDisplay},
        {true, true, false, true, Mode::SettingsUnreadable},
        {false, false, false, true, Mode::SettingsUnreadable},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.headless << c.showsWindows << c.readable << c.unattended);
        const Mode mode =
            LaunchDecision::decide(c.headless, c.showsWindows, {c.readable, c.unattended});
        EXPECT_EQ(mode, c.mode);
    }
}

// X11 and Wayland platforms need their server. On Windows and macOS there is neither, but
// the system's own window system ("native"), which Qt takes when no platform is named.
TEST(LaunchDecisionTest, EachPlatformNeedsItsOwnWindowSystem)
{
    struct Case
    {
        QString platform;
        bool x11, wayland, native, shows;
    };
    const Case cases[] = {
        {u""_s, false, false, false, false},
        {u""_s, true, false, false, true},
        {u""_s, false, true, false, true},
        {u"  "_s, false, false, false, false},
        {u"xcb"_s, false, true, false, false},
        {u"xcb"_s, true, false, false, true},
        {u"wayland"_s, true, false, false, false},
        {u"wayland-egl"_s, false, true, false, true},
        {u"wayland;xcb"_s, true, false, false, true},
        {u"wayland;xcb"_s, false, false, false, false},
        {u"xcb:nowarnings"_s, false, false, false, false},
        {u"offscreen"_s, false, false, false, true},
        {u"minimal"_s, false, false, false, true},
        {u"eglfs"_s, false, false, false, true},
        {u"xcb;offscreen"_s, false, false, false, true},
        {u";"_s, true, true, false, false},
        {u""_s, false, false, true, true},
        {u" "_s, false, false, true, true},
        {u"windows"_s, false, false, true, true},
        {u"xcb"_s, false, false, true, false},
        {u"wayland;xcb"_s, false, false, true, false},
        {u"xcb;windows"_s, false, false, true, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << c.platform.toStdString() << "\" x11 " << c.x11
                                        << " wayland " << c.wayland << " native " << c.native);
        EXPECT_EQ(LaunchDecision::platformShowsWindows(c.platform, {c.x11, c.wayland, c.native}),
                  c.shows);
    }
}

TEST(LaunchDecisionTest, WindowlessModesRunOnTheOffscreenPlatformLast)
{
    char program[] = "zemra";
    char platform[] = "-platform";
    char xcb[] = "xcb";
    char *argv[] = {program, platform, xcb, nullptr};
    struct Case
    {
        Mode mode;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {Mode::Windowed, {"zemra", "-platform", "xcb"}},
        {Mode::Headless, {"zemra", "-platform", "xcb", "-platform", "offscreen"}},
        {Mode::UnattendedNoDisplay, {"zemra", "-platform", "xcb", "-platform", "offscreen"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(static_cast<int>(c.mode));
        const std::vector<char *> arguments = LaunchDecision::qtArguments(3, argv, c.mode);
        ASSERT_EQ(arguments.size(), c.expected.size() + 1);
        EXPECT_EQ(arguments.back(), nullptr);
        for (std::size_t i = 0; i < c.expected.size(); ++i)
            EXPECT_EQ(arguments[i], c.expected[i]);
    }
}

TEST(LaunchDecisionTest, DisplaylessModesExplainThemselvesInOneLine)
{
    for (const Mode mode : {Mode::UnattendedNoDisplay, Mode::NoDisplay}) {
        const QString message = LaunchDecision::message(mode);
        EXPECT_TRUE(message.startsWith(u"no display reachable"_s)) << message.toStdString();
        EXPECT_FALSE(message.contains(u'\n'));
    }
    EXPECT_TRUE(LaunchDecision::message(Mode::NoDisplay).contains(u"--folder"_s));
    EXPECT_TRUE(
        LaunchDecision::message(Mode::NothingToDo).startsWith(u"AutoStart and AutoClose"_s));
    // A launch that ends at once says why, in one line.
    for (const Mode mode : {Mode::NoDisplay, Mode::NothingToDo, Mode::SettingsUnreadable}) {
        EXPECT_TRUE(LaunchDecision::endsAtOnce(mode));
        EXPECT_FALSE(LaunchDecision::message(mode).isEmpty());
        EXPECT_FALSE(LaunchDecision::message(mode).contains(u'\n'));
    }
    EXPECT_TRUE(LaunchDecision::message(Mode::Windowed).isEmpty());
    EXPECT_TRUE(LaunchDecision::message(Mode::Headless).isEmpty());
}

TEST(StartupCheckTest, UnattendedNeedsBothStoredTicksInTheProgramsSection)
{
    struct Case
    {
        const char *name;
        QString section;
        QString autoStart, autoClose; // empty: absent
        bool unattended;
    };
    const Case cases[] = {
        {"both ticked", u"zemra"_s, u"1"_s, u"1"_s, true},
        {"other section", u"sizer"_s, u"1"_s, u"1"_s, false},
        {"AutoClose unticked", u"zemra"_s, u"1"_s, u"0"_s, false},
        {"AutoStart unticked", u"zemra"_s, u"0"_s, u"1"_s, false},
        {"grey counts as unticked", u"zemra"_s, u"2"_s, u"1"_s, false},
        {"absent", u"zemra"_s, {}, {}, false},
        {"not a number", u"zemra"_s, u"yes"_s, u"1"_s, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString ini = dir.path() + u"/ZEMRA.ini"_s;
        {
            QSettings file(ini, QSettings::IniFormat);
            if (!c.autoStart.isEmpty())
                file.setValue(c.section + u"/AUTOSTART_TICKBOX"_s, c.autoStart);
            if (!c.autoClose.isEmpty())
                file.setValue(c.section + u"/AUTOCLOSE_TICKBOX"_s, c.autoClose);
        }
        IniFileSettingsBackend backend(ini);
        const LaunchDecision::Settings outlook =
            StartupCheck::outlook(SettingsStore(backend, u"zemra"_s));
        EXPECT_TRUE(outlook.readable);
        EXPECT_EQ(outlook.unattended, c.unattended);
    }
}

TEST(StartupCheckTest, ProgramNameIsTheFileNameStartedUnder)
{
    const std::pair<const char *, QString> cases[] = {
        {"/usr/bin/zemra", u"zemra"_s}, {"./build/src/sizer", u"sizer"_s},
        {"zemra", u"zemra"_s},          {"", u"zemra"_s},
        {nullptr, u"zemra"_s},
    };
    for (const auto &[argv0, name] : cases)
        EXPECT_EQ(StartupCheck::programName(argv0), name) << (argv0 ? argv0 : "null");
}

TEST(StartupCheckTest, ADisplayCountsOnlyWithQtsPluginForIt)
{
    struct Case
    {
        const char *name;
        QStringList files; // below the first plugin folder
        QString plugin;
        bool installed;
    };
    const Case cases[] = {
        {"xcb plugin", {u"platforms/libqxcb.so"_s}, u"xcb"_s, true},
        {"Wayland EGL plugin", {u"platforms/libqwayland-egl.so"_s}, u"wayland"_s, true},
        {"only xcb, asked for Wayland", {u"platforms/libqxcb.so"_s}, u"wayland"_s, false},
        {"not in platforms", {u"styles/libqwayland-egl.so"_s}, u"wayland"_s, false},
        {"a folder of that name", {u"platforms/libqxcb.so/readme"_s}, u"xcb"_s, false},
        {"nothing", {}, u"xcb"_s, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir first;
        QTemporaryDir second;
        for (const QString &file : c.files) {
            const QString path = first.path() + u'/' + file;
            ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
            ASSERT_TRUE(QFile(path).open(QIODevice::WriteOnly));
        }
        EXPECT_EQ(StartupCheck::platformPluginInstalled(c.plugin, {second.path(), first.path()}),
                  c.installed);
    }
    // Where Qt itself looks: this machine runs the tests with the X11 plugin.
    EXPECT_TRUE(StartupCheck::platformPluginInstalled(u"xcb"_s, StartupCheck::pluginFolders()));
}
