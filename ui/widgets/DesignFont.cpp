#include "DesignFont.h"

#include <QStringList>

QFont designFont()
{
    QFont font;
    // Without the second family, fontconfig would substitute the much wider DejaVu Sans.
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans")});
    font.setPointSizeF(8.25);
    // Wine draws Liberation Sans without smoothing unless asked, and then loses the
    // capital I at this size. MS Sans Serif is a bitmap font, which smoothing leaves as
    // it is.
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}
