#pragma once

#include <QFont>

// The font both windows were laid out for: MS Sans Serif, 8.25 points. Where it is not
// installed, Liberation Sans (Arial's metric twin) takes its place, so that texts keep
// the widths the fixed layouts leave them. The program makes it the default font of
// every control, as it is on the desktop the windows were designed on.
QFont designFont();
