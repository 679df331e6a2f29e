// The settings store on the Windows registry (QSettingsBackend with QSettings::NativeFormat),
// under a key of the test's own below HKEY_CURRENT_USER\Software. Built for Windows only.

#include "platform/win32/QSettingsBackend.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <optional>
#include <string>

using namespace Qt::Literals::StringLiterals;

namespace {

const wchar_t TestKey[] = L"Software\\ZEMRA-RegistrySettingsTest";
const wchar_t SectionKey[] = L"Software\\ZEMRA-RegistrySettingsTest\\zemra";

std::wstring wide(const QString &text)
{
    return text.toStdWString();
}

// A value as the registry holds it: its type and, for text types, its text.
struct RawValue
{
    DWORD type = REG_NONE;
    QString text;
    DWORD number = 0;
};

std::optional<RawValue> readRaw(const QString &name)
{
    RawValue value;
    DWORD size = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, SectionKey, wide(name).c_str(), RRF_RT_ANY | RRF_NOEXPAND,
                     &value.type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
    if (RegGetValueW(HKEY_CURRENT_USER, SectionKey, wide(name).c_str(), RRF_RT_ANY | RRF_NOEXPAND,
                     &value.type, data.data(), &size) != ERROR_SUCCESS)
        return std::nullopt;
    if (value.type == REG_DWORD)
        std::memcpy(&value.number, data.data(), sizeof value.number);
    else
        value.text = QString::fromWCharArray(data.c_str());
    return value;
}

void writeRawText(const QString &name, const QString &text, DWORD type = REG_SZ)
{
    const std::wstring data = wide(text);
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, SectionKey, wide(name).c_str(), type, data.c_str(),
                              DWORD((data.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
}

void writeRawNumber(const QString &name, DWORD number)
{
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, SectionKey, wide(name).c_str(), REG_DWORD, &number,
                              sizeof number),
              ERROR_SUCCESS);
}

class RegistrySettingsTest : public testing::Test
{
protected:
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, TestKey); }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, TestKey); }

    // One save of one entry.
    [[nodiscard]] bool save(const QString &section, const QString &key, const QString &value)
    {
        return m_backend.write(section, {{key, value}});
    }

    // The entry as a launch reads it, or nullopt when the section has no such entry.
    [[nodiscard]] std::optional<QString> stored(const QString &section, const QString &key)
    {
        const SettingsSnapshot snapshot = m_backend.read(section);
        EXPECT_EQ(snapshot.unreadable, QString());
        const auto entry = snapshot.entries.constFind(key);
        if (entry == snapshot.entries.cend())
            return std::nullopt;
        return *entry;
    }

    QSettingsBackend m_backend{u"HKEY_CURRENT_USER\\Software\\ZEMRA-RegistrySettingsTest"_s,
                               QSettings::NativeFormat};
};

} // namespace

// Every text the program writes reads back unchanged, and is a plain REG_SZ value holding the
// text under <key>\<section>, as someone editing the registry by hand expects to find it.
TEST_F(RegistrySettingsTest, TextsAreStringValuesOfTheSectionKey)
{
    const QString texts[] = {
        u""_s,
        u"1"_s,
        u"-1500"_s,
        u"C:\\logs\\nightly.log"_s,
        u"\\\\server\\share\\data, 2024"_s,
        u" padded "_s,
        u"\"quoted\" #; = "_s,
        u"line\r\nbreak\ttab"_s,
        u"caf\u00e9 \u6e2c \u00a0nbsp"_s,
    };
    for (const QString &text : texts) {
        SCOPED_TRACE(text.toStdString());
        ASSERT_TRUE(save(u"zemra"_s, u"FF_LOCATION_TEXTBOX"_s, text));
        EXPECT_EQ(stored(u"zemra"_s, u"FF_LOCATION_TEXTBOX"_s), text);
        const std::optional<RawValue> raw = readRaw(u"FF_LOCATION_TEXTBOX"_s);
        ASSERT_TRUE(raw);
        EXPECT_EQ(raw->type, DWORD(REG_SZ));
        EXPECT_EQ(raw->text, text);
    }
}

// QSettings marks typed values with a leading '@' and doubles a leading '@' of a text; such
// texts still read back as written.
TEST_F(RegistrySettingsTest, ALeadingAtSignReadsBackAsWritten)
{
    for (const QString &text : {u"@home"_s, u"@@twice"_s, u"@ByteArray(x)"_s}) {
        SCOPED_TRACE(text.toStdString());
        ASSERT_TRUE(save(u"zemra"_s, u"LOGFILE_TEXTBOX"_s, text));
        EXPECT_EQ(stored(u"zemra"_s, u"LOGFILE_TEXTBOX"_s), text);
    }
}

// Values typed by hand (reg add, regedit) read as their text; saving the text an entry
// already reads as leaves the value as it was typed, a different text replaces it, and a
// save leaves the values it does not set alone.
TEST_F(RegistrySettingsTest, HandTypedValuesReadAsTextAndKeepTheirType)
{
    writeRawNumber(u"USE_FILE_TICKBOX"_s, 1);
    writeRawText(u"LOGFILE_TEXTBOX"_s, u"%TEMP%\\zemra.log"_s, REG_EXPAND_SZ);
    writeRawText(u"OWNER"_s, u"operations team"_s);

    EXPECT_EQ(stored(u"zemra"_s, u"USE_FILE_TICKBOX"_s), u"1"_s);
    EXPECT_EQ(stored(u"zemra"_s, u"LOGFILE_TEXTBOX"_s), u"%TEMP%\\zemra.log"_s);

    ASSERT_TRUE(m_backend.write(u"zemra"_s, {{u"USE_FILE_TICKBOX"_s, u"1"_s},
                                             {u"LOGFILE_TEXTBOX"_s, u"%TEMP%\\zemra.log"_s}}));
    std::optional<RawValue> tick = readRaw(u"USE_FILE_TICKBOX"_s);
    ASSERT_TRUE(tick);
    EXPECT_EQ(tick->type, DWORD(REG_DWORD));
    EXPECT_EQ(tick->number, 1u);
    const std::optional<RawValue> log = readRaw(u"LOGFILE_TEXTBOX"_s);
    ASSERT_TRUE(log);
    EXPECT_EQ(log->type, DWORD(REG_EXPAND_SZ));

    ASSERT_TRUE(save(u"zemra"_s, u"USE_FILE_TICKBOX"_s, u"0"_s));
    tick = readRaw(u"USE_FILE_TICKBOX"_s);
    ASSERT_TRUE(tick);
    EXPECT_EQ(tick->type, DWORD(REG_SZ));
    EXPECT_EQ(tick->text, u"0"_s);
    const std::optional<RawValue> owner = readRaw(u"OWNER"_s);
    ASSERT_TRUE(owner);
    EXPECT_EQ(owner->text, u"operations team"_s);
}

// A launch reads its own section only: another section's values are absent from it, an
// empty value is present, and a section never written reads as a first launch's.
TEST_F(RegistrySettingsTest, ASnapshotHoldsItsOwnSectionOnly)
{
    EXPECT_EQ(m_backend.read(u"zemra"_s).entries.size(), 0);
    ASSERT_TRUE(save(u"other"_s, u"MAIN-Left"_s, u"1500"_s));
    EXPECT_EQ(stored(u"zemra"_s, u"MAIN-Left"_s), std::nullopt);
    writeRawText(u"MAIN-Top"_s, u""_s);
    EXPECT_EQ(stored(u"zemra"_s, u"MAIN-Top"_s), u""_s);
    EXPECT_EQ(stored(u"other"_s, u"MAIN-Left"_s), u"1500"_s);
    EXPECT_EQ(m_backend.read(u"zemra"_s).entries.size(), 1);
}
