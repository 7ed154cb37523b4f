#pragma once

#include "ConversionRequest.h"
#include "Result.h"

#include <QString>

// The request as the conversion script will carry it, or what is wrong with it, in words
// the user can act on: an empty input or output box, an input that does not exist or is
// no file, an output whose folder does not exist or that is a folder, and an output that
// is the input itself (also through links), which the conversion would destroy.
//
// Relative names are made absolute the way the user means them: the input against
// `workingFolder` (the program's), a bare output name or one below the input's folder
// beside the input file, since the conversion itself runs in the tool folder.
Result<ConversionRequest> checkedRequest(const ConversionRequest &request,
                                         const QString &workingFolder);
