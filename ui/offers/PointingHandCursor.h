#pragma once

#include <QCursor>

// The pointing hand shown over the product pictures, with the hot spot that its cursor
// file records (the tip of the index finger).
QCursor pointingHandCursor();
