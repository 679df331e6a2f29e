#include "AppHarness.h"

#include "settings/SettingValue.h"
#include "ui/TickBox.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(RestoredSettingsTest, GeometryNoWindowCouldHaveFallsBackToTheDefault)
{
    const struct
    {
        const char *left;
        const char *top;
        const char *width;
        const char *height;
        QPoint position;
        QSize size;
    } cases[] = {
        {"1000", "1000", "5400", "4215", {67, 67}, {354, 256}},
        {"1000", "1000", "-5000", "4215", {67, 67}, {354, 256}},
        {"1000", "1000", "0", "0", {67, 67}, {354, 256}},
        {"1000", "1000", "1e30", "-1", {67, 67}, {354, 256}},
        {"1000", "1000", "491520", "4215", {67, 67}, {354, 256}},
        {"1000", "1000", "30090", "6000", {67, 67}, {2000, 375}},
        {"1e30", "-1e30", "5400", "4215", {67, 67}, {354, 256}},
        {"491520", "1500", "5400", "4215", {67, 100}, {354, 256}},
        {"-1200", "1500", "5400", "4215", {-80, 100}, {354, 256}},
        {"1500.6", "15", "5400", "4215", {100, 1}, {354, 256}},
    };
    for (const auto &c : cases) {
        AppHarness app;
        app.store(QStringLiteral("MAIN-Left"), QString::fromLatin1(c.left));
        app.store(QStringLiteral("MAIN-Top"), QString::fromLatin1(c.top));
        app.store(QStringLiteral("MAIN-Width"), QString::fromLatin1(c.width));
        app.store(QStringLiteral("MAIN-Height"), QString::fromLatin1(c.height));
        app.launch();
        const std::string row = std::string(c.left) + " " + c.top + " " + c.width + " " + c.height;
        EXPECT_EQ(app.window().pos(), c.position) << row;
        EXPECT_EQ(app.window().size(), c.size) << row;
    }
}

TEST(RestoredSettingsTest, WindowEdgeAndExtentLimits)
{
    const struct
    {
        const char *text;
        std::optional<float> edge;
        std::optional<float> extent;
    } cases[] = {
        {"0", 0.0f, std::nullopt},
        {"-0.5", -0.5f, std::nullopt},
        {"0.5", 0.5f, 0.5f},
        {"491505", 491505.0f, 491505.0f},
        {"-491505", -491505.0f, std::nullopt},
        {"491506", std::nullopt, std::nullopt},
        {"-491506", std::nullopt, std::nullopt},
        {"1e30", std::nullopt, std::nullopt},
        {"abc", std::nullopt, std::nullopt},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(SettingValue::parseWindowEdge(QString::fromLatin1(c.text)), c.edge) << c.text;
        EXPECT_EQ(SettingValue::parseWindowExtent(QString::fromLatin1(c.text)), c.extent) << c.text;
    }
}

TEST(RestoredSettingsTest, AnUnmovedWindowKeepsItsStoredPosition)
{
    const struct
    {
        const char *name;
        std::optional<QString> left;
        std::optional<QString> top;
        std::optional<QPoint> moveTo;
        QPoint opened;
        QString leftAfter;
        QString topAfter;
    } cases[] = {
        {"off every screen, not moved",
         QStringLiteral("450000"),
         QStringLiteral("-300000"),
         std::nullopt,
         {67, 67},
         QStringLiteral("450000"),
         QStringLiteral("-300000")},
        {"off every screen, then moved",
         QStringLiteral("450000"),
         QStringLiteral("-300000"),
         QPoint(100, 50),
         {67, 67},
         QStringLiteral("1500"),
         QStringLiteral("750")},
        {"between two pixels, not moved",
         QStringLiteral("1234.5"),
         QStringLiteral("300.25"),
         std::nullopt,
         {82, 20},
         QStringLiteral("1234.5"),
         QStringLiteral("300.25")},
        {"unusable text, not moved",
         QStringLiteral("1e30"),
         QStringLiteral("left"),
         std::nullopt,
         {67, 67},
         QStringLiteral("1e30"),
         QStringLiteral("left")},
        {"unusable text, then moved",
         QStringLiteral("1e30"),
         QStringLiteral("left"),
         QPoint(-80, 10),
         {67, 67},
         QStringLiteral("-1200"),
         QStringLiteral("150")},
        {"absent, not moved",
         std::nullopt,
         std::nullopt,
         std::nullopt,
         {67, 67},
         QStringLiteral("1000"),
         QStringLiteral("1000")},
    };
    for (const auto &c : cases) {
        AppHarness app;
        if (c.left)
            app.store(QStringLiteral("MAIN-Left"), *c.left);
        if (c.top)
            app.store(QStringLiteral("MAIN-Top"), *c.top);
        app.launch();
        EXPECT_EQ(app.window().pos(), c.opened) << c.name;
        if (c.moveTo)
            app.window().move(*c.moveTo);
        app.close();
        EXPECT_EQ(app.stored(QStringLiteral("MAIN-Left")).toString(), c.leftAfter) << c.name;
        EXPECT_EQ(app.stored(QStringLiteral("MAIN-Top")).toString(), c.topAfter) << c.name;
    }
}

TEST(RestoredSettingsTest, AGreyTickLeavesGreyAtTheFirstClickForGood)
{
    const struct
    {
        const char *stored;
        std::vector<qint16> afterClicks;
    } cases[] = {
        {"2", {1, 0, 1, 0}},
        {"1", {0, 1, 0}},
        {"0", {1, 0, 1}},
    };
    for (const auto &c : cases) {
        for (const char *key :
             {"AUTOSTART_TICKBOX", "USE_FILE_TICKBOX", "AlwaysOnTopTimer_TICKBOX"}) {
            AppHarness app;
            app.store(QString::fromLatin1(key), QString::fromLatin1(c.stored));
            app.launch();
            auto *box = app.window().findChild<QCheckBox *>(QString::fromLatin1(key));
            ASSERT_NE(box, nullptr) << key;
            EXPECT_EQ(TickBox::value(*box), SettingValue::parseTick(QString::fromLatin1(c.stored)))
                << key;
            for (std::size_t i = 0; i < c.afterClicks.size(); ++i) {
                box->click();
                EXPECT_EQ(TickBox::value(*box), c.afterClicks[i])
                    << key << " stored " << c.stored << ", click " << i + 1;
                EXPECT_FALSE(box->isTristate()) << key << " click " << i + 1;
            }
            app.close();
            EXPECT_EQ(app.stored(QString::fromLatin1(key)).toString(),
                      QString::number(c.afterClicks.back()))
                << key;
        }
    }
}

} // namespace
