#pragma once

#include <QString>

#include <ostream>

// GoogleTest shows a QString in a failure as its text, quoted ...
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

// ... and in the messages a test adds to a failure.
inline std::ostream &operator<<(std::ostream &out, const QString &text)
{
    return out << text.toStdString();
}
