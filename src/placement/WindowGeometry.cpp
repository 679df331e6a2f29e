#include "placement/WindowGeometry.h"

#include <algorithm>
#include <cmath>

int WindowGeometry::toPixels(float twips)
{
    return int(std::lround(double(twips) / TwipsPerPixel));
}

QPoint WindowGeometry::framePosition(const TwipsGeometry &geometry)
{
    return {toPixels(geometry.left), toPixels(geometry.top)};
}

QSize WindowGeometry::clientSize(const TwipsGeometry &geometry)
{
    const int width = toPixels(geometry.width - 2 * FrameSideTwips);
    const int height = toPixels(geometry.height - FrameTopTwips - FrameSideTwips);
    return {std::max(width, 1), std::max(height, 1)};
}

bool WindowGeometry::isOnAnyScreen(const QRect &frame, const QList<QRect> &screens)
{
    return std::any_of(screens.begin(), screens.end(),
                       [&frame](const QRect &screen) { return screen.intersects(frame); });
}
