#include "platform/IniText.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

const QString Section = QStringLiteral("zemra");

// All the bytes of a literal, embedded NULs included.
template <std::size_t N> QByteArray bytes(const char (&text)[N])
{
    return QByteArray(text, qsizetype(N - 1));
}

struct Expected
{
    const char *key;
    std::optional<const char *> value; // UTF-8; nullopt: the entry is absent
};

struct HandEditedCase
{
    const char *name;
    QByteArray file;
    std::vector<Expected> entries;
};

std::string show(const std::optional<QString> &value)
{
    return value ? "\"" + value->toStdString() + "\"" : std::string("(absent)");
}

TEST(IniTextTest, HandEditedFilesReadAsAPersonExpects)
{
    const std::vector<HandEditedCase> cases = {
        {"comment lines anywhere",
         "# scheduled nightly\n[zemra]\n; keep this\nAUTOSTART_TICKBOX=1\n"
         "# FF_LOCATION_TEXTBOX=/commented/out\n  ; indented comment\nAUTOCLOSE_TICKBOX=1\n",
         {{"AUTOSTART_TICKBOX", "1"}, {"AUTOCLOSE_TICKBOX", "1"}, {"FF_LOCATION_TEXTBOX", {}}}},
        {"byte order mark and CR LF",
         "\xEF\xBB\xBF[zemra]\r\nMAIN-Left=1200\r\n\r\nFF_LOCATION_TEXTBOX=/data/x\r\n",
         {{"MAIN-Left", "1200"}, {"FF_LOCATION_TEXTBOX", "/data/x"}}},
        {"blanks around the equals sign and the line",
         "[zemra]\n  MAIN-Top   =   300  \n\tLOGFILE_TEXTBOX\t=\t/var/log/z.log\t\n",
         {{"MAIN-Top", "300"}, {"LOGFILE_TEXTBOX", "/var/log/z.log"}}},
        {"commas quotes and marks are part of the value",
         "[zemra]\nFF_LOCATION_TEXTBOX=/data/a, b\nLOGFILE_TEXTBOX=\"quoted\"\nx1=@home\n"
         "x2=/a;b # not a comment\nx3='single'\nx4=a=b\nx5=\"open\nx6=@String(x)\n",
         {{"FF_LOCATION_TEXTBOX", "/data/a, b"},
          {"LOGFILE_TEXTBOX", "\"quoted\""},
          {"x1", "@home"},
          {"x2", "/a;b # not a comment"},
          {"x3", "'single'"},
          {"x4", "a=b"},
          {"x5", "\"open"},
          {"x6", "@String(x)"}}},
        {"backslashes typed by hand",
         "[zemra]\nx1=C:\\data\\logs\nx2=C:\\\\data\nx3=\\\\server\\share\nx4=end\\\n",
         {{"x1", "C:\\data\\logs"},
          {"x2", "C:\\data"},
          {"x3", "\\\\server\\share"},
          {"x4", "end\\"}}},
        {"the program's own written forms",
         "[zemra]\nx1=\"a, b\"\nx2=\"  padded  \"\nx3=@@at\nx4=tab\\there\nx5=\"a;b=c\"\n"
         "x6=say \\\"hi\\\"\n",
         {{"x1", "a, b"},
          {"x2", "  padded  "},
          {"x3", "@at"},
          {"x4", "tab\there"},
          {"x5", "a;b=c"},
          {"x6", "say \"hi\""}}},
        {"duplicate keys and sections: the last one counts",
         "[zemra]\nMAIN-Left=1\nMAIN-Left=2\n[other]\nMAIN-Left=9\n[zemra]\nMAIN-Left=3\n"
         "MAIN-Top=4\n",
         {{"MAIN-Left", "3"}, {"MAIN-Top", "4"}}},
        {"other sections and entries before any section",
         "MAIN-Left=5\n[General]\nMAIN-Top=5\n[other]\nMAIN-Left=6\n[zemra2]\nMAIN-Left=7\n"
         "[zemra]\nMAIN-Top=8\n",
         {{"MAIN-Left", {}}, {"MAIN-Top", "8"}}},
        {"section headers with blanks and a trailing comment",
         "[ zemra ] ; mine\nMAIN-Left=11\n",
         {{"MAIN-Left", "11"}}},
        {"keys are case-sensitive", "[zemra]\nmain-left=5\nMAIN-LEFT=6\n", {{"MAIN-Left", {}}}},
        {"garbage lines are skipped",
         "[zemra]\nthis is not an entry\nMAIN-Left=10\n=orphan\n[broken\nMAIN-Top=12\n",
         {{"MAIN-Left", "10"}, {"MAIN-Top", {}}}},
        {"binary junk",
         bytes("\x00\xff\xfe junk\n[zemra]\nMAIN-Left=10\n\x01\x02=\x03\n\x00=\x00\n") +
             "MAIN-Top=20",
         {{"MAIN-Left", "10"}, {"MAIN-Top", "20"}}},
        {"empty values are present, missing line end at the end",
         "[zemra]\nFF_LOCATION_TEXTBOX=\nLOGFILE_TEXTBOX =   \nMAIN-Left=7",
         {{"FF_LOCATION_TEXTBOX", ""}, {"LOGFILE_TEXTBOX", ""}, {"MAIN-Left", "7"}}},
        {"non-ASCII values and an empty file",
         "[zemra]\nFF_LOCATION_TEXTBOX=/home/jürgen/数据\n",
         {{"FF_LOCATION_TEXTBOX", "/home/jürgen/数据"}}},
        {"no section at all", "", {{"MAIN-Left", {}}}},
    };
    for (const HandEditedCase &c : cases) {
        for (const Expected &entry : c.entries) {
            const std::optional<QString> expected =
                entry.value ? std::optional<QString>(QString::fromUtf8(*entry.value))
                            : std::nullopt;
            const std::optional<QString> actual =
                IniText::value(c.file, Section, QString::fromLatin1(entry.key));
            EXPECT_EQ(actual, expected) << c.name << ": " << entry.key << " reads " << show(actual);
        }
    }
}

TEST(IniTextTest, ChangingOneEntryKeepsEveryOtherByte)
{
    const struct
    {
        const char *name;
        QByteArray before;
        const char *key;
        QString value;
        QByteArray after;
    } cases[] = {
        {"value replaced in place, comments and spacing kept",
         "# mine\n[zemra]\n  MAIN-Left = 1000   ; old\n# tail\n", "MAIN-Left", "1200",
         "# mine\n[zemra]\n  MAIN-Left = 1200\n# tail\n"},
        {"CR LF and byte order mark kept, new entry after the section's last entry",
         "\xEF\xBB\xBF[zemra]\r\nMAIN-Left=1\r\n\r\n; other\r\n[other]\r\nk=v\r\n", "MAIN-Top", "2",
         "\xEF\xBB\xBF[zemra]\r\nMAIN-Left=1\r\nMAIN-Top=2\r\n\r\n; other\r\n[other]\r\nk=v\r\n"},
        {"the last of duplicate entries is the one changed",
         "[zemra]\nMAIN-Left=1\n[zemra]\nMAIN-Left=2\n", "MAIN-Left", "3",
         "[zemra]\nMAIN-Left=1\n[zemra]\nMAIN-Left=3\n"},
        {"new section appended after a blank line", "# only a comment", "MAIN-Left", "5",
         "# only a comment\n\n[zemra]\nMAIN-Left=5\n"},
        {"empty file", "", "FF_LOCATION_TEXTBOX", "/x", "[zemra]\nFF_LOCATION_TEXTBOX=/x\n"},
        {"entry added at the end of a file without a final line break", "[zemra]\nMAIN-Left=1",
         "MAIN-Top", "2", "[zemra]\nMAIN-Left=1\nMAIN-Top=2\n"},
        {"a value that already means the same keeps its hand-typed spelling",
         "[zemra]\nFF_LOCATION_TEXTBOX =  /data/a, b  \n", "FF_LOCATION_TEXTBOX", "/data/a, b",
         "[zemra]\nFF_LOCATION_TEXTBOX =  /data/a, b  \n"},
        {"a value that needs quoting is written quoted", "[zemra]\nFF_LOCATION_TEXTBOX=/old\n",
         "FF_LOCATION_TEXTBOX", " /new, path ", "[zemra]\nFF_LOCATION_TEXTBOX=\" /new, path \"\n"},
        {"junk bytes around the entry survive", bytes("\x00\xff\n[zemra]\nMAIN-Left=1\n\x01\x02\n"),
         "MAIN-Left", "2", bytes("\x00\xff\n[zemra]\nMAIN-Left=2\n\x01\x02\n")},
    };
    for (const auto &c : cases) {
        const QByteArray after =
            IniText::withValue(c.before, Section, QString::fromLatin1(c.key), c.value);
        EXPECT_EQ(after.toStdString(), c.after.toStdString()) << c.name;
        EXPECT_EQ(IniText::value(after, Section, QString::fromLatin1(c.key)), c.value) << c.name;
    }
}

// Values that the program writes and must read back exactly.
QStringList trickyValues()
{
    return {QString(),
            QStringLiteral("/plain/path"),
            QStringLiteral("  leading and trailing  "),
            QStringLiteral(" "),
            QStringLiteral("a,b"),
            QStringLiteral("a;b"),
            QStringLiteral("a=b"),
            QStringLiteral("#hash"),
            QStringLiteral(";semicolon"),
            QStringLiteral("\"quoted\""),
            QStringLiteral("back\\slash\\"),
            QStringLiteral("C:\\new\\table"),
            QStringLiteral("@at"),
            QStringLiteral("@@two"),
            QStringLiteral("@String(x)"),
            QStringLiteral("Grö ß 中 😀"),
            QStringLiteral("tab\there\nnewline\r"),
            QString(QChar(1)) + QStringLiteral("1f"),
            QString(QChar(0x1b)) + QStringLiteral("[0m"),
            QString(QChar(0)) + QStringLiteral("a,b"),
            QStringLiteral("\\x41 \\0 %41 %U0041"),
            QStringLiteral("'s' [x] ?")};
}

TEST(IniTextTest, WrittenValuesReadBackExactly)
{
    QStringList values = trickyValues();
    // Unpaired surrogates name no file, but a damaged file can hand one over; saving it back
    // must not turn it into another character (a hex digit after it must stay apart, too).
    values << QStringLiteral("/t") + QChar(0xD800) + QStringLiteral("1.bin")
           << QString(QChar(0xDC00)) + QChar(0xD800);
    for (const QString &value : values) {
        const QByteArray file = IniText::withValue({}, Section, QStringLiteral("k"), value);
        EXPECT_EQ(IniText::value(file, Section, QStringLiteral("k")), value) << file.toStdString();
    }
}

// Files written by earlier versions (through QSettings' INI format) read the same, and what
// the program writes now reads the same through QSettings, so older copies still work.
TEST(IniTextTest, FilesOfEarlierVersionsReadTheSameBothWays)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QStringList values = trickyValues();
    const QString sections[] = {QStringLiteral("zemra"), QStringLiteral("my sizer é"),
                                QStringLiteral("General"), QStringLiteral("a.b-c_d")};
    const QString earlier = dir.filePath(QStringLiteral("earlier.ini"));
    {
        QSettings settings(earlier, QSettings::IniFormat);
        for (const QString &section : sections)
            for (qsizetype i = 0; i < values.size(); ++i)
                settings.setValue(section + QStringLiteral("/k%1").arg(i), values[i]);
    }
    QFile file(earlier);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray earlierText = file.readAll();
    file.close();

    QByteArray nowText;
    for (const QString &section : sections) {
        for (qsizetype i = 0; i < values.size(); ++i) {
            const QString key = QStringLiteral("k%1").arg(i);
            EXPECT_EQ(IniText::value(earlierText, section, key), values[i])
                << section.toStdString() << "/" << key.toStdString();
            nowText = IniText::withValue(nowText, section, key, values[i]);
        }
    }
    const QString now = dir.filePath(QStringLiteral("now.ini"));
    QFile out(now);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    ASSERT_EQ(out.write(nowText), nowText.size());
    out.close();
    QSettings settings(now, QSettings::IniFormat);
    for (const QString &section : sections)
        for (qsizetype i = 0; i < values.size(); ++i)
            EXPECT_EQ(settings.value(section + QStringLiteral("/k%1").arg(i)).toString(), values[i])
                << section.toStdString() << "/k" << i << " in\n"
                << nowText.toStdString();
    EXPECT_EQ(settings.status(), QSettings::NoError);
}

TEST(IniTextTest, NamesAreEscapedLikeEarlierVersions)
{
    const struct
    {
        QString name;
        QByteArray written;
    } cases[] = {
        {QStringLiteral("zemra"), "zemra"},     {QStringLiteral("my sizer é"), "my%20sizer%20%E9"},
        {QStringLiteral("a.b-c_d"), "a.b-c_d"}, {QStringLiteral("x%y"), "x%25y"},
        {QStringLiteral("数"), "%U6570"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(IniText::encodeName(c.name), c.written) << c.written.toStdString();
        EXPECT_EQ(IniText::decodeName(c.written), c.name) << c.written.toStdString();
    }
    // A hand-typed header may also spell the name as it is.
    EXPECT_EQ(
        IniText::value("[my sizer é]\nk=v\n", QStringLiteral("my sizer é"), QStringLiteral("k")),
        QStringLiteral("v"));
}

} // namespace
