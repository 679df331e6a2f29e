#include "placement/WindowGeometry.h"

#include <gtest/gtest.h>

TEST(WindowGeometryTest, TwipsMapToPixelsAtFifteenPerPixel)
{
    const TwipsGeometry mainDefault{1000, 1000, 5400, 4215};
    EXPECT_EQ(WindowGeometry::clientSize(mainDefault), QSize(354, 256));
    EXPECT_EQ(WindowGeometry::framePosition(mainDefault), QPoint(67, 67));
    EXPECT_EQ(WindowGeometry::clientSize({0, 0, 6000, 2880}), QSize(394, 167));
    EXPECT_EQ(WindowGeometry::clientSize({0, 0, 7100, 5835}), QSize(467, 364));
    EXPECT_EQ(WindowGeometry::framePosition({-1200, 15, 0, 0}), QPoint(-80, 1));
    // A stored size smaller than the frame still gives a window, not a negative size.
    EXPECT_EQ(WindowGeometry::clientSize({0, 0, 10, 10}), QSize(1, 1));
    EXPECT_EQ(WindowGeometry::toTwips(-80), -1200.0f);
}

TEST(WindowGeometryTest, FrameCountsAsOnScreenWhenAnyScreenShowsPartOfIt)
{
    const QList<QRect> screens{QRect(0, 0, 1920, 1080), QRect(-1280, 0, 1280, 1024)};
    const QSize size(360, 281);
    EXPECT_TRUE(WindowGeometry::isOnAnyScreen(QRect(QPoint(67, 67), size), screens));
    EXPECT_TRUE(WindowGeometry::isOnAnyScreen(QRect(QPoint(-1200, 100), size), screens));
    EXPECT_TRUE(WindowGeometry::isOnAnyScreen(QRect(QPoint(1900, 1000), size), screens));
    EXPECT_FALSE(WindowGeometry::isOnAnyScreen(QRect(QPoint(5000, 100), size), screens));
    EXPECT_FALSE(WindowGeometry::isOnAnyScreen(QRect(QPoint(-2000, 100), size), screens));
    EXPECT_FALSE(WindowGeometry::isOnAnyScreen(QRect(QPoint(100, 2000), size), screens));
}
