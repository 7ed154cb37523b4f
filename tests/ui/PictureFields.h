#pragma once

// Fields of the picture files, little-endian in ICO, CUR and BMP.

#include <QByteArray>
#include <QtEndian>

// A field of 1, 2 or 4 bytes; zero past the end.
inline quint32 le(const QByteArray &data, qsizetype offset, int bytes)
{
    if (offset < 0 || offset + bytes > data.size())
        return 0;
    const auto *at = reinterpret_cast<const uchar *>(data.constData()) + offset;
    return bytes == 1 ? at[0] : bytes == 2 ? qFromLittleEndian<quint16>(at) : qFromLittleEndian<quint32>(at);
}
