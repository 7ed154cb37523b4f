#include "DesignFont.h"

#include <QStringList>

QFont designFont()
{
    QFont font;
    // Without the second family, fontconfig would substitute the much wider DejaVu Sans.
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans")});
    font.setPointSizeF(8.25);
    return font;
}
