#include "PictureEncoders.h"

#include <QBuffer>
#include <QDataStream>
#include <QImageWriter>

#include <algorithm>
#include <array>
#include <climits>
#include <map>
#include <vector>

namespace {

constexpr int dotsPerMeter96Dpi = 3780;

// The 16 colours of the VGA palette, the usual palette of 4-bit icons.
constexpr std::array<QRgb, 16> vgaPalette{
    0xff000000, 0xff800000, 0xff008000, 0xff808000, 0xff000080, 0xff800080, 0xff008080,
    0xffc0c0c0, 0xff808080, 0xffff0000, 0xff00ff00, 0xffffff00, 0xff0000ff, 0xffff00ff,
    0xff00ffff, 0xffffffff};

using Histogram = std::vector<std::pair<QRgb, int>>;

int channel(QRgb colour, int which)
{
    return which == 0 ? qRed(colour) : which == 1 ? qGreen(colour) : qBlue(colour);
}

// Median cut: split the box with the widest channel range at the pixel-weighted median
// until there are enough boxes, then take each box's weighted mean.
QList<QRgb> medianCut(Histogram colours, int size)
{
    struct Box {
        Histogram::iterator begin, end;
        int widestChannel = 0;
        int range = 0;
    };
    const auto measure = [](Box &box) {
        box.range = -1;
        for (int c = 0; c < 3; ++c) {
            const auto [low, high] = std::minmax_element(box.begin, box.end, [c](auto a, auto b) {
                return channel(a.first, c) < channel(b.first, c);
            });
            const int range = channel(high->first, c) - channel(low->first, c);
            if (range > box.range) {
                box.range = range;
                box.widestChannel = c;
            }
        }
    };

    std::vector<Box> boxes{{colours.begin(), colours.end()}};
    measure(boxes.front());
    while (int(boxes.size()) < size) {
        auto widest = std::max_element(boxes.begin(), boxes.end(),
                                       [](const Box &a, const Box &b) { return a.range < b.range; });
        if (widest->range <= 0)
            break;
        const int c = widest->widestChannel;
        std::sort(widest->begin, widest->end, [c](auto a, auto b) {
            return channel(a.first, c) != channel(b.first, c) ? channel(a.first, c) < channel(b.first, c)
                                                              : a.first < b.first;
        });
        int total = 0;
        for (auto it = widest->begin; it != widest->end; ++it)
            total += it->second;
        auto split = widest->begin;
        for (int seen = 0; seen * 2 < total; ++split)
            seen += split->second;
        if (split == widest->end)
            --split;
        Box upper{split, widest->end};
        widest->end = split;
        measure(*widest);
        measure(upper);
        boxes.push_back(upper);
    }

    QList<QRgb> palette;
    for (const Box &box : boxes) {
        qint64 sum[3] = {}, weight = 0;
        for (auto it = box.begin; it != box.end; ++it) {
            for (int c = 0; c < 3; ++c)
                sum[c] += qint64(channel(it->first, c)) * it->second;
            weight += it->second;
        }
        palette.append(qRgb(int((sum[0] + weight / 2) / weight), int((sum[1] + weight / 2) / weight),
                            int((sum[2] + weight / 2) / weight)));
    }
    std::sort(palette.begin(), palette.end());
    return palette;
}

int nearest(const QList<QRgb> &palette, QRgb colour)
{
    int best = 0;
    int bestDistance = INT_MAX;
    for (int i = 0; i < palette.size(); ++i) {
        const int dr = qRed(palette[i]) - qRed(colour);
        const int dg = qGreen(palette[i]) - qGreen(colour);
        const int db = qBlue(palette[i]) - qBlue(colour);
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

bool isSeeThrough(QRgb pixel) { return qAlpha(pixel) < 128; }

// Index 0 is black: the colour stored under masked pixels. Exact colours when they fit,
// else a median-cut palette.
QList<QRgb> paletteFor(const QImage &image, int bitCount)
{
    if (bitCount == 4)
        return {vgaPalette.begin(), vgaPalette.end()};
    std::map<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (const QRgb pixel = image.pixel(x, y); !isSeeThrough(pixel) && (pixel & 0xffffff) != 0)
                ++counts[pixel | 0xff000000];
    QList<QRgb> palette{qRgb(0, 0, 0)};
    if (counts.size() < 256) {
        for (const auto &entry : counts)
            palette.append(entry.first);
    } else {
        palette.append(medianCut(Histogram(counts.begin(), counts.end()), 255));
    }
    palette.resize(256, qRgb(0, 0, 0));
    return palette;
}

int rowBytes(int width, int bitCount) { return (width * bitCount + 31) / 32 * 4; }

// BITMAPINFOHEADER, palette, XOR image and AND mask, bottom row first, as icon and
// cursor files hold them.
QByteArray iconImageData(const IconImage &entry)
{
    const QImage image = entry.image.convertToFormat(QImage::Format_ARGB32);
    const int width = image.width();
    const int height = image.height();
    const int bitCount = entry.bitCount;
    const QList<QRgb> palette = bitCount == 32 ? QList<QRgb>{} : paletteFor(image, bitCount);
    const int xorBytes = rowBytes(width, bitCount) * height;
    const int andBytes = rowBytes(width, 1) * height;

    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint32(40) << qint32(width) << qint32(height * 2) << quint16(1) << quint16(bitCount)
        << quint32(0) << quint32(xorBytes + andBytes) << qint32(0) << qint32(0) << quint32(0)
        << quint32(0);
    for (QRgb colour : palette)
        out << quint8(qBlue(colour)) << quint8(qGreen(colour)) << quint8(qRed(colour)) << quint8(0);

    for (int y = height - 1; y >= 0; --y) {
        QByteArray row(rowBytes(width, bitCount), '\0');
        for (int x = 0; x < width; ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (bitCount == 32) {
                const bool clear = qAlpha(pixel) == 0;
                row[x * 4] = char(clear ? 0 : qBlue(pixel));
                row[x * 4 + 1] = char(clear ? 0 : qGreen(pixel));
                row[x * 4 + 2] = char(clear ? 0 : qRed(pixel));
                row[x * 4 + 3] = char(qAlpha(pixel));
                continue;
            }
            const int index = isSeeThrough(pixel) ? 0 : nearest(palette, pixel);
            if (bitCount == 8)
                row[x] = char(index);
            else
                row[x / 2] = char(row[x / 2] | (x % 2 ? index : index << 4));
        }
        out.writeRawData(row.constData(), row.size());
    }
    for (int y = height - 1; y >= 0; --y) {
        QByteArray row(rowBytes(width, 1), '\0');
        for (int x = 0; x < width; ++x) {
            const int alpha = qAlpha(image.pixel(x, y));
            if (bitCount == 32 ? alpha == 0 : alpha < 128)
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        }
        out.writeRawData(row.constData(), row.size());
    }
    return data;
}

// ICONDIR and its entries; in a cursor (type 2) the planes and bit count fields of an
// entry hold the hot spot instead.
QByteArray iconDirectoryFile(const QList<IconImage> &images, quint16 type, QPoint hotSpot)
{
    QByteArray file;
    QDataStream out(&file, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint16(0) << type << quint16(images.size());

    QList<QByteArray> bodies;
    quint32 offset = 6 + 16 * images.size();
    for (const IconImage &entry : images) {
        bodies.append(iconImageData(entry));
        const bool cursor = type == 2;
        out << quint8(entry.image.width() % 256) << quint8(entry.image.height() % 256)
            << quint8(entry.bitCount < 8 ? 1 << entry.bitCount : 0) << quint8(0)
            << quint16(cursor ? hotSpot.x() : 1) << quint16(cursor ? hotSpot.y() : entry.bitCount)
            << quint32(bodies.last().size()) << offset;
        offset += bodies.last().size();
    }
    for (const QByteArray &body : bodies)
        out.writeRawData(body.constData(), body.size());
    return file;
}

} // namespace

QByteArray encodeIcon(const QList<IconImage> &images)
{
    return iconDirectoryFile(images, 1, {});
}

QByteArray encodeCursor(const IconImage &image, QPoint hotSpot)
{
    return iconDirectoryFile({image}, 2, hotSpot);
}

QByteArray encodeBitmap24(const QImage &source)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    const int stride = rowBytes(image.width(), 24);
    const quint32 pixelBytes = quint32(stride * image.height());

    QByteArray file;
    QDataStream out(&file, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint8('B') << quint8('M') << quint32(54 + pixelBytes) << quint32(0) << quint32(54);
    out << quint32(40) << qint32(image.width()) << qint32(image.height()) << quint16(1)
        << quint16(24) << quint32(0) << pixelBytes << qint32(dotsPerMeter96Dpi)
        << qint32(dotsPerMeter96Dpi) << quint32(0) << quint32(0);
    for (int y = image.height() - 1; y >= 0; --y) {
        QByteArray row(stride, '\0');
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            row[x * 3] = char(qBlue(pixel));
            row[x * 3 + 1] = char(qGreen(pixel));
            row[x * 3 + 2] = char(qRed(pixel));
        }
        out.writeRawData(row.constData(), row.size());
    }
    return file;
}

QByteArray encodeJpeg(const QImage &source)
{
    // Qt's writer puts the image's resolution into the JFIF header.
    QImage image = source.convertToFormat(QImage::Format_RGB32);
    image.setDotsPerMeterX(dotsPerMeter96Dpi);
    image.setDotsPerMeterY(dotsPerMeter96Dpi);
    QByteArray file;
    QBuffer buffer(&file);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(90);
    return writer.write(image) ? file : QByteArray();
}
