#pragma once

#include <QRect>
#include <QtMath>

// The windows are designed in twips: 1440 to the inch, 15 to a pixel at 96 dots per
// inch. Positions and sizes are converted one by one, rounded to whole pixels.
namespace Twips {

inline constexpr int perPixel = 15;

inline int toPixels(int twips)
{
    return qRound(twips / double(perPixel));
}

inline QRect toPixels(int left, int top, int width, int height)
{
    return {toPixels(left), toPixels(top), toPixels(width), toPixels(height)};
}

} // namespace Twips
