#pragma once

#include "ConversionRequest.h"
#include "Result.h"
#include "ToolFolder.h"

#include <QByteArray>

// The five-line command script that converts one request:
//
//   "A/amr/madplay.exe" -m -R 8000 -b 16 -o wave:"A/amr/temp.wav" "INPUT"
//   cd "A/amr"
//   warning
//   "A/amr/converter" wav2amr "A/amr/temp.wav" "OUTPUT" MR74
//   exit
//
// Each line ends with CR LF; the text is in the 8-bit code page the script is read in: on
// Windows the console's (OEM) code page, in which the command interpreter reads it,
// elsewhere the system's. The command interpreter expands "%" even inside quotes, so
// every "%" is written as "%%".
namespace ConversionScript {

// The script's bytes, or a failure when a path cannot be carried safely: a double quote,
// CR, LF or NUL would end the quoted argument or smuggle in another command, and a
// character the code page cannot represent would name another file.
Result<QByteArray> text(const ToolFolder &toolFolder, const ConversionRequest &request);

} // namespace ConversionScript
