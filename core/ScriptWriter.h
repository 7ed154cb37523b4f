#pragma once

#include "ConversionRequest.h"
#include "Result.h"
#include "ToolFolder.h"

// Writes the conversion script WAV2AMR.bat into the tool folder. The script is written
// to a temporary file beside it and renamed over the old one, so a failure leaves the
// previous script whole and a console still running it never reads a mixed file.
Status writeConversionScript(const ToolFolder &toolFolder, const ConversionRequest &request);
