#pragma once

#include <QImage>
#include <QPoint>

// The pictures of both windows, drawn from shapes at their stored size on a see-through
// background (the product boxes on white).

// Main window.
QImage drawHandset(int size);
QImage drawFolderWithDisc();
QImage drawDiskette();
QImage drawConvertArrows();

// Offers window.
QImage drawGiftBox(int size);
QImage drawOpenBook();
QImage drawDownloadArrow();
QImage drawShoppingCart();
QImage drawPointingHand();
inline constexpr QPoint pointingHandHotSpot{9, 1}; // the tip of the index finger
// The box of product 0 to 5, shown in panels 1 to 6.
QImage drawSoftwareBox(int product);
