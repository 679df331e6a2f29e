#include "platform/SystemNumberLocale.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace {

TEST(SystemNumberLocale, ReadsTheSeparatorsOfTheLocale)
{
    struct Case
    {
        QLocale locale;
        QChar group;
        QChar decimal;
    };
    const Case cases[] = {
        {QLocale(QStringLiteral("en_US")), u',', u'.'},
        {QLocale(QStringLiteral("de_DE")), u'.', u','},
        {QLocale::c(), u',', u'.'},
    };
    for (const auto &c : cases) {
        const NumberSeparators separators = SystemNumberLocale::separatorsOf(c.locale);
        EXPECT_EQ(separators.group, c.group) << c.locale.name().toStdString();
        EXPECT_EQ(separators.decimal, c.decimal) << c.locale.name().toStdString();
    }
    // The object answers the separators of the locale it was made for.
    const SystemNumberLocale german(QLocale(QStringLiteral("de_DE")));
    EXPECT_EQ(german.separators().group, u'.');
    EXPECT_EQ(german.separators().decimal, u',');
}

} // namespace
