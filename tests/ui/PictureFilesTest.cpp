// The committed pictures in the formats that every reader takes, Windows' among them.
// That picturegen still draws them is PictureGeneratorTest's to check.

#include "PictureFields.h"
#include "PointingHandCursor.h"
#include "TestFiles.h"

#include <QImageReader>

#include <gtest/gtest.h>

namespace {

int rowBytes(int width, int bitCount)
{
    return (width * bitCount + 31) / 32 * 4;
}

// Each directory entry agrees with the bitmap it points to, whose header counts the XOR
// image and the AND mask, so that every reader finds what Qt finds.
TEST(PictureFiles, IconAndCursorDirectoriesAgreeWithTheirBitmaps)
{
    for (const QString path : {":/main/AMRConvert.ico", ":/main/BrowseInput.ico", ":/main/BrowseOutput.ico",
                               ":/main/Convert.ico", ":/offers/Corvane.ico", ":/offers/ReadMore.ico",
                               ":/offers/Download.ico", ":/offers/Buy.ico", ":/offers/PointingHand.cur"}) {
        SCOPED_TRACE(path.toStdString());
        const QByteArray data = contentsOf(path);
        const quint32 type = path.endsWith(".cur") ? 2 : 1;
        EXPECT_EQ(le(data, 0, 2), 0u);
        EXPECT_EQ(le(data, 2, 2), type);
        QImageReader reader(path);
        ASSERT_GT(le(data, 4, 2), 0u);
        for (int i = 0; i < int(le(data, 4, 2)); ++i, reader.jumpToNextImage()) {
            const int entry = 6 + 16 * i, side = int(le(data, entry, 1)), offset = int(le(data, entry + 12, 4));
            const int bitCount = int(le(data, offset + 14, 2)), palette = bitCount <= 8 ? 4 << bitCount : 0;
            // The entry's colour count and, but in a cursor, whose hot spot stands there, bit count.
            EXPECT_EQ(le(data, entry + 2, 1), bitCount < 8 ? 1u << bitCount : 0u);
            if (type == 1) {
                EXPECT_EQ(le(data, entry + 6, 2), quint32(bitCount));
            }
            EXPECT_EQ(le(data, offset, 4), 40u);
            EXPECT_EQ(le(data, offset + 4, 4), quint32(side));
            EXPECT_EQ(le(data, offset + 8, 4), quint32(2 * side));
            EXPECT_EQ(le(data, offset + 16, 4), 0u) << "uncompressed";
            EXPECT_EQ(le(data, entry + 8, 4), quint32(40 + palette + (rowBytes(side, bitCount) + rowBytes(side, 1)) * side));
            EXPECT_EQ(reader.read().size(), QSize(side, side));
        }
    }
}

TEST(PictureFiles, DisabledCopiesAreGreyBitmapsWithMagentaWhereTheIconIsSeeThrough)
{
    for (const QString picture : {":/main/BrowseInput", ":/main/BrowseOutput", ":/main/Convert",
                                  ":/offers/ReadMore", ":/offers/Download", ":/offers/Buy"}) {
        SCOPED_TRACE(picture.toStdString());
        const QByteArray data = contentsOf(picture + "-disabled.bmp");
        const QImage icon = QImage(picture + ".ico").convertToFormat(QImage::Format_ARGB32);
        ASSERT_FALSE(icon.isNull());
        ASSERT_TRUE(data.startsWith("BM"));
        EXPECT_EQ(le(data, 2, 4), quint32(data.size()));
        EXPECT_EQ(le(data, 14, 4), 40u);
        EXPECT_EQ(le(data, 18, 4), quint32(icon.width()));
        EXPECT_EQ(le(data, 22, 4), quint32(icon.height()));
        EXPECT_EQ(le(data, 28, 2), 24u);
        EXPECT_EQ(le(data, 30, 4), 0u) << "uncompressed";

        const QImage copy = QImage::fromData(data, "BMP");
        ASSERT_EQ(copy.size(), icon.size());
        int grey = 0;
        for (int y = 0; y < copy.height(); ++y) {
            for (int x = 0; x < copy.width(); ++x) {
                const QRgb pixel = copy.pixel(x, y);
                if (qAlpha(icon.pixel(x, y)) == 0) {
                    EXPECT_EQ(pixel, qRgb(255, 0, 255)) << x << "," << y;
                } else {
                    EXPECT_TRUE(qRed(pixel) == qGreen(pixel) && qGreen(pixel) == qBlue(pixel)) << x << "," << y;
                    ++grey;
                }
            }
        }
        EXPECT_GT(grey, copy.width() * copy.height() / 4);
    }
}

TEST(PictureFiles, ProductPicturesAreColourJfifJpegsAt96Dpi)
{
    for (int product = 1; product <= 6; ++product) {
        SCOPED_TRACE(product);
        const QByteArray data = contentsOf(QString(":/offers/Offer%1.jpg").arg(product));
        ASSERT_TRUE(data.startsWith("\xff\xd8\xff\xe0")) << "APP0 first";
        EXPECT_EQ(data.mid(6, 5), QByteArray("JFIF", 5));
        EXPECT_EQ(data.mid(13, 5).toHex(), "0100600060") << "its density in dots per inch, 96 by 96";
        // The baseline frame header's count of components; its tables come before it
        // and hold no byte 0xFF.
        const qsizetype frame = data.indexOf("\xff\xc0");
        ASSERT_GT(frame, 0);
        EXPECT_EQ(int(data[frame + 9]), 3) << "colour components";
        EXPECT_FALSE(QImage::fromData(data).allGray());
    }
}

TEST(PictureFiles, TheCursorPointsWithTheTipOfItsFinger)
{
    const QByteArray data = contentsOf(":/offers/PointingHand.cur");
    const QPoint hotSpot(int(le(data, 10, 2)), int(le(data, 12, 2)));
    const QImage hand = QImage::fromData(data, "ICO").convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(hand.size(), QSize(32, 32));
    int topRow = -1;
    for (int y = 0; y < hand.height() && topRow < 0; ++y)
        for (int x = 0; x < hand.width(); ++x)
            if (qAlpha(hand.pixel(x, y)) != 0)
                topRow = y;
    EXPECT_EQ(hotSpot.y(), topRow);
    EXPECT_NE(qAlpha(hand.pixel(hotSpot)), 0);

    const QCursor cursor = pointingHandCursor();
    EXPECT_EQ(cursor.shape(), Qt::BitmapCursor);
    EXPECT_EQ(cursor.hotSpot(), hotSpot);
    EXPECT_EQ(cursor.pixmap().size(), QSize(32, 32));
}

} // namespace
