#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

// A window's stored geometry in twips (1440 to the inch, 15 to the pixel at 96 dpi): left
// and top of the outer frame, outer width and height.
struct TwipsGeometry
{
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
};

// Conversions between stored twips and the toolkit's device-independent pixels. Pure.
//
// Every window is designed with a frame of 45 twips at the left, right and bottom and 330
// twips at the top, so the client area is the stored outer size less that frame.
namespace WindowGeometry {

inline constexpr int TwipsPerPixel = 15;
inline constexpr int FrameSideTwips = 45;
inline constexpr int FrameTopTwips = 330;

[[nodiscard]] int toPixels(float twips);
[[nodiscard]] inline float toTwips(int pixels)
{
    return float(pixels * TwipsPerPixel);
}

// Position of the outer frame, in pixels.
[[nodiscard]] QPoint framePosition(const TwipsGeometry &geometry);
// Client size for the stored outer size, at least 1 by 1 pixel.
[[nodiscard]] QSize clientSize(const TwipsGeometry &geometry);

// Whether a frame rectangle shows on at least one of the screens (their available
// geometries, in the same pixel coordinates).
[[nodiscard]] bool isOnAnyScreen(const QRect &frame, const QList<QRect> &screens);

} // namespace WindowGeometry
