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

// The length in seconds of the audio in an AMR file of `fileSize` bytes that our encoder
// made at the rate: after the 6-byte "#!AMR\n", frames of 20 ms that each take a header
// byte and the rate's bits for 20 ms in whole bytes (7.4 kbit/s: 148 bits, 20 bytes).
// Empty when the size is no such file's.
std::optional<double> amrFileSeconds(qint64 fileSize, const QString &rateText);

} // namespace BitRateModes
