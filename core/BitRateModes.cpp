#include "BitRateModes.h"

#include <QLocale>

#include <cmath>

namespace BitRateModes {

QStringList rateTexts()
{
    return {"4.75", "5.15", "5.9", "6.7", "7.4", "7.95", "10.2", "12.2"};
}

namespace {

// General form, at most 15 significant digits, no trailing zeros or point. The rounding
// to 15 digits matters: 10.2 * 100 is 1019.9999999999999 in double precision and must
// print as "1020".
QString format15(double value)
{
    return QString::number(value, 'g', 15);
}

} // namespace

std::optional<QString> modeString(const QString &rateText)
{
    bool isNumber = false;
    const double rate = QLocale::c().toDouble(rateText, &isNumber);
    if (!isNumber)
        return std::nullopt;
    const double hundredfold = rate * 100;
    const double tenfold = rate * 10;
    if (!std::isfinite(hundredfold) || !std::isfinite(tenfold))
        return std::nullopt;

    const QString digits = format15(hundredfold).endsWith(u'0') ? format15(tenfold)
                                                                  : format15(hundredfold);
    return QStringLiteral(" MR") + digits;
}

std::optional<double> amrFileSeconds(qint64 fileSize, const QString &rateText)
{
    constexpr qint64 headerBytes = 6;
    constexpr double frameSeconds = 0.02;
    bool isNumber = false;
    const double rate = QLocale::c().toDouble(rateText, &isNumber);
    if (!isNumber || !(rate > 0 && rate < 100) || fileSize < headerBytes)
        return std::nullopt;
    const qint64 frameBits = std::lround(rate * 1000 * frameSeconds);
    const qint64 frameBytes = 1 + (frameBits + 7) / 8;
    if ((fileSize - headerBytes) % frameBytes != 0)
        return std::nullopt;
    return double((fileSize - headerBytes) / frameBytes) * frameSeconds;
}

} // namespace BitRateModes
