#include "PointingHandCursor.h"

#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QtEndian>

QCursor pointingHandCursor()
{
    QFile file(QStringLiteral(":/offers/PointingHand.cur"));
    const QByteArray cursor = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    const QImage image = QImage::fromData(cursor, "ICO");
    // The first directory entry, after the six-byte header, holds the hot spot at bytes
    // 4 to 7.
    if (image.isNull() || cursor.size() < 14)
        return QCursor(Qt::PointingHandCursor);
    const auto *entry = reinterpret_cast<const uchar *>(cursor.constData()) + 6;
    return QCursor(QPixmap::fromImage(image), qFromLittleEndian<quint16>(entry + 4),
                   qFromLittleEndian<quint16>(entry + 6));
}
