#include "DesignFont.h"

#include <QFontDatabase>

QFont designFont()
{
    QFont font;
    // Without the second family, fontconfig would substitute the much wider DejaVu Sans.
    font.setFamilies(installedFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans")}));
    font.setPointSizeF(8.25);
    // Wine draws Liberation Sans without smoothing unless asked, and then loses the
    // capital I at this size. MS Sans Serif is a bitmap font, which smoothing leaves as
    // it is.
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

QStringList installedFamilies(const QStringList &families)
{
    const QStringList installed = QFontDatabase::families();
    qsizetype first = 0;
    while (first + 1 < families.size() && !installed.contains(families[first], Qt::CaseInsensitive))
        ++first;
    return families.mid(first);
}
