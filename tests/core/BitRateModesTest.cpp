#include "BitRateModes.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <clocale>

namespace {

// Each rate's codec mode is its text without the dot, after a blank: 7.95 is " MR795".
void expectEveryRateToNameItsMode()
{
    for (const QString &rate : BitRateModes::rateTexts())
        EXPECT_EQ(BitRateModes::modeString(rate), " MR" + QString(rate).remove(u'.')) << rate.toStdString();
}

} // namespace

TEST(BitRateModes, EveryRateNamesItsCodecModeWhateverTheLocale)
{
    ASSERT_EQ(BitRateModes::rateTexts().size(), 8);
    expectEveryRateToNameItsMode();

    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const std::string previousC = std::setlocale(LC_ALL, nullptr);
    // The C library's locale may be missing on a minimal machine; Qt's default is enough
    // to catch a parser that follows the user's locale.
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    expectEveryRateToNameItsMode();
    EXPECT_EQ(BitRateModes::modeString("7,95"), std::nullopt);
    std::setlocale(LC_ALL, previousC.c_str());
    QLocale::setDefault(previous);
}

TEST(BitRateModes, AnAmrFilesLengthFollowsFromItsSizeAtItsRate)
{
    // The storage format's frame of 20 ms at each rate, its header byte included.
    const int frameBytes[] = {13, 14, 16, 18, 20, 21, 27, 32};
    const QStringList rates = BitRateModes::rateTexts();
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(BitRateModes::amrFileSeconds(6 + 50 * frameBytes[i], rates[i]), 1.0) << rates[i].toStdString();
    EXPECT_EQ(BitRateModes::amrFileSeconds(6 + 50 * 20 + 7, "7.4"), std::nullopt) << "no whole number of frames";
}
