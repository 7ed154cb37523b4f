#pragma once

// Finding a button's picture in its drawing. A picture is drawn at its natural size
// and is not smoothed, so each of its pixels lands unchanged.

#include <QImage>
#include <QPoint>

#include <optional>

// Where every pixel of the picture appears unchanged in the drawing, but those the
// picture leaves out: see-through ones and, in a disabled picture, magenta ones.
inline std::optional<QPoint> findPicture(const QImage &drawing, const QImage &picture)
{
    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    const QImage drawn = drawing.convertToFormat(QImage::Format_RGB32);
    const auto leftOut = [](QRgb pixel) {
        return qAlpha(pixel) < 255 || (pixel & RGB_MASK) == (qRgb(255, 0, 255) & RGB_MASK);
    };
    for (int top = 0; top + argb.height() <= drawn.height(); ++top) {
        for (int left = 0; left + argb.width() <= drawn.width(); ++left) {
            bool match = true;
            for (int y = 0; match && y < argb.height(); ++y)
                for (int x = 0; match && x < argb.width(); ++x)
                    match = leftOut(argb.pixel(x, y))
                            || (argb.pixel(x, y) & RGB_MASK) == (drawn.pixel(left + x, top + y) & RGB_MASK);
            if (match)
                return QPoint(left, top);
        }
    }
    return std::nullopt;
}
