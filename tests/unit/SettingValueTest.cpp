#include "settings/SettingValue.h"

#include <gtest/gtest.h>

TEST(SettingValueTest, GeometryTextIsPlainDecimalAndRoundTrips)
{
    const struct
    {
        float twips;
        const char *text;
    } cases[] = {
        {1000.0f, "1000"}, {-1200.0f, "-1200"}, {1234.5f, "1234.5"},   {0.0f, "0"},
        {-0.0f, "0"},      {15.0f, "15"},       {100000.0f, "100000"}, {1e7f, "10000000"},
        {0.25f, "0.25"},   {-7.75f, "-7.75"},   {5400.0f, "5400"},
    };
    for (const auto &c : cases) {
        const QString text = SettingValue::formatGeometry(c.twips);
        EXPECT_EQ(text, QString::fromLatin1(c.text)) << c.twips;
        EXPECT_EQ(SettingValue::parseGeometry(text), c.twips) << c.text;
    }
}

TEST(SettingValueTest, GeometryTextThatIsNotAFiniteNumberIsRejected)
{
    for (const char *text : {"", " ", "abc", "12px", "nan", "inf", "-inf", "1e40", "1,000"})
        EXPECT_EQ(SettingValue::parseGeometry(QString::fromLatin1(text)), std::nullopt) << text;
    EXPECT_EQ(SettingValue::parseGeometry(QStringLiteral("1e3")), 1000.0f);
    EXPECT_EQ(SettingValue::parseGeometry(QStringLiteral(" 42 ")), 42.0f);
}

TEST(SettingValueTest, TickTextAcceptsOnlyZeroOneAndTwo)
{
    EXPECT_EQ(SettingValue::parseTick(QStringLiteral("0")), 0);
    EXPECT_EQ(SettingValue::parseTick(QStringLiteral("1")), 1);
    EXPECT_EQ(SettingValue::parseTick(QStringLiteral("2")), 2);
    for (const char *text : {"", "3", "-1", "yes", "1.0", "65537", "true"})
        EXPECT_EQ(SettingValue::parseTick(QString::fromLatin1(text)), std::nullopt) << text;
    EXPECT_EQ(SettingValue::formatTick(1), QStringLiteral("1"));
    EXPECT_EQ(SettingValue::formatTick(0), QStringLiteral("0"));
}
