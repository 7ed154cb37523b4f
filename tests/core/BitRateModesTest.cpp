#include "BitRateModes.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <clocale>

namespace {

const QStringList expectedModes = {" MR475", " MR515", " MR59", " MR67",
                                   " MR74",  " MR795", " MR102", " MR122"};

void expectModeTable()
{
    const QStringList rates = BitRateModes::rateTexts();
    ASSERT_EQ(rates.size(), expectedModes.size());
    for (qsizetype i = 0; i < rates.size(); ++i)
        EXPECT_EQ(BitRateModes::modeString(rates[i]), expectedModes[i]) << rates[i].toStdString();
}

} // namespace

TEST(BitRateModes, ListsTheEightAmrRatesWithSevenPointFourAsDefault)
{
    EXPECT_EQ(BitRateModes::rateTexts(),
              QStringList({"4.75", "5.15", "5.9", "6.7", "7.4", "7.95", "10.2", "12.2"}));
    EXPECT_EQ(BitRateModes::rateTexts().at(BitRateModes::defaultIndex), "7.4");
    EXPECT_EQ(BitRateModes::modeString("7.4"), " MR74");
}

TEST(BitRateModes, EveryRateNamesItsCodecModeWithLeadingBlank)
{
    expectModeTable();
}

TEST(BitRateModes, RatesAreReadWithADotWhateverTheLocale)
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const std::string previousC = std::setlocale(LC_ALL, nullptr);
    // The C library's locale may be missing on a minimal machine; Qt's default is enough
    // to catch a parser that follows the user's locale.
    std::setlocale(LC_ALL, "de_DE.UTF-8");

    expectModeTable();
    EXPECT_EQ(BitRateModes::modeString("7,95"), std::nullopt);

    std::setlocale(LC_ALL, previousC.c_str());
    QLocale::setDefault(previous);
}

TEST(BitRateModes, TextsThatAreNoNumberHaveNoMode)
{
    for (const char *text : {"", "abc", "7.4 kbit/s", "inf", "nan", "1e400"})
        EXPECT_EQ(BitRateModes::modeString(text), std::nullopt) << text;
}
