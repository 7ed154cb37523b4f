#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The eight narrow-band AMR rates the user chooses from, in kbit/s, and the rule that
// names the encoder mode for a rate ("7.4" -> " MR74").
namespace BitRateModes {

// The entries of the rate list, in display order.
QStringList rateTexts();

// The entry selected when the main window loads: "7.4".
inline constexpr int defaultIndex = 4;

// The mode string for a rate text: a blank, "MR" and the digits. The text is read with
// "." as the decimal separator whatever the locale. Empty when the text is no finite
// number.
std::optional<QString> modeString(const QString &rateText);

} // namespace BitRateModes
