#pragma once

#include <QFont>
#include <QStringList>

// The font both windows were laid out for: MS Sans Serif, 8.25 points. Where it is not
// installed, Liberation Sans (Arial's metric twin) takes its place, so that texts keep
// the widths the fixed layouts leave them. The program makes it the default font of
// every control, as it is on the desktop the windows were designed on.
QFont designFont();

// The families from the first one installed on, or the last alone where none is. Asked
// for a missing family, Qt first has fontconfig sort every font as that family's
// substitutes, which costs the first text about as much as loading the font it then uses.
QStringList installedFamilies(const QStringList &families);
