#pragma once

#include <QString>

// The three texts one conversion script is written from, read from the main window at
// the moment a button is pressed.
struct ConversionRequest {
    QString inputPath;
    QString outputPath;
    QString rateText;
};
