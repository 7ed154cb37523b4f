#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QPoint>

// Writers for the picture files the windows embed. Qt's own ICO writer stores a single
// 32-bit image, so icons, cursors and bitmaps are encoded here byte by byte; only JPEG
// goes through Qt.

// One image of an icon or cursor file and the bit depth to store it at: 4 (the
// 16-colour VGA palette), 8 (a palette made for the image) or 32 (BGRA). Pixels whose
// alpha is below half are see-through and set in the AND mask.
struct IconImage {
    QImage image;
    int bitCount;
};

QByteArray encodeIcon(const QList<IconImage> &images);
QByteArray encodeCursor(const IconImage &image, QPoint hotSpot);

// 24-bit uncompressed BMP of an opaque image.
QByteArray encodeBitmap24(const QImage &image);

// Baseline colour JPEG with a JFIF header at 96 dots per inch.
QByteArray encodeJpeg(const QImage &image);
