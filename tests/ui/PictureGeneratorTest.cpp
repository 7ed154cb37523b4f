// picturegen redraws the committed pictures. Anti-aliased drawing rounds a little
// differently from one processor to the next, and an 8-bit icon's palette follows its
// pixels, so the files are compared by what matters: their structure exactly, and
// their decoded pixels within a couple of steps per channel.

#include "PictureFields.h"
#include "TestFiles.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

int run(const QStringList &arguments, QString *errors = nullptr)
{
    QProcess generator;
    generator.start(PICTUREGEN_PATH, arguments);
    if (!generator.waitForFinished(60000) || generator.exitStatus() != QProcess::NormalExit)
        return -1;
    if (errors)
        *errors = QString::fromLocal8Bit(generator.readAllStandardError());
    return generator.exitCode();
}

// A channel may differ by this many steps.
constexpr int tolerance = 2;

// Where two decodings of a picture differ by more than rounding: a channel off by more
// than the tolerance, or a pixel see-through in one and not in the other.
QStringList pixelDifferences(const QImage &expected, const QImage &actual)
{
    if (expected.size() != actual.size())
        return {QStringLiteral("size %1x%2 instead of %3x%4")
                    .arg(actual.width()).arg(actual.height())
                    .arg(expected.width()).arg(expected.height())};
    const QImage want = expected.convertToFormat(QImage::Format_ARGB32);
    const QImage got = actual.convertToFormat(QImage::Format_ARGB32);
    QStringList differences;
    for (int y = 0; y < want.height(); ++y) {
        for (int x = 0; x < want.width(); ++x) {
            const QRgb p = want.pixel(x, y), q = got.pixel(x, y);
            const bool seeThroughAlike = (qAlpha(p) == 0) == (qAlpha(q) == 0);
            const int largest = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                          std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
            // Colours under a see-through pixel are not seen.
            if (!seeThroughAlike || (qAlpha(p) != 0 && largest > tolerance))
                differences.append(QStringLiteral("pixel %1,%2 is %3 instead of %4")
                                       .arg(x).arg(y).arg(q, 8, 16, QChar(u'0')).arg(p, 8, 16, QChar(u'0')));
        }
    }
    return differences;
}

QList<QImage> decodeAll(const QByteArray &data)
{
    QBuffer buffer;
    buffer.setData(data);
    QImageReader reader(&buffer);
    QList<QImage> images;
    for (int i = 0; i < std::max(reader.imageCount(), 1); ++i) {
        images.append(reader.read());
        reader.jumpToNextImage();
    }
    return images;
}

// The bytes that describe a file rather than its pixels, labelled, in hexadecimal: an
// icon's or cursor's directory (sizes, depths, hot spots, offsets) and bitmap headers, a
// bitmap's headers, a JPEG's markers up to the scan with its JFIF and frame headers (its
// entropy-coded data follows the pixels).
QStringList structure(const QString &name, const QByteArray &data)
{
    QStringList parts;
    const auto part = [&](const QString &label, qsizetype at, qsizetype bytes) {
        parts.append(label + u'=' + QString::fromLatin1(data.mid(at, bytes).toHex(' ')));
    };
    if (name.endsWith(".ico") || name.endsWith(".cur")) {
        const quint32 count = std::min(le(data, 4, 2), 16u);
        part("directory", 0, 6 + 16 * count);
        for (quint32 i = 0; i < count; ++i)
            part(QStringLiteral("image%1.header").arg(i), le(data, 6 + 16 * i + 12, 4), 40);
    } else if (name.endsWith(".bmp")) {
        part("headers", 0, 54);
    } else if (name.endsWith(".jpg")) {
        qsizetype at = 2;
        while (at + 4 <= data.size() && be16(data, at) != 0xFFDA) {
            const int marker = be16(data, at), length = be16(data, at + 2);
            const bool described = marker == 0xFFE0 || (marker >= 0xFFC0 && marker <= 0xFFC2);
            part(QStringLiteral("marker%1").arg(marker, 4, 16), at, described ? 2 + length : 2);
            at += 2 + length;
        }
    }
    return parts;
}

// Everything in which a redrawn file differs from the committed one beyond rounding.
QStringList fileDifferences(const QString &name, const QByteArray &expected, const QByteArray &actual)
{
    QStringList differences;
    const QStringList want = structure(name, expected), got = structure(name, actual);
    for (qsizetype i = 0; i < std::max(want.size(), got.size()); ++i) {
        const QString a = want.value(i), b = got.value(i);
        if (a != b)
            differences.append(QStringLiteral("%1 instead of %2").arg(b, a));
    }
    const QList<QImage> wantImages = decodeAll(expected), gotImages = decodeAll(actual);
    if (wantImages.size() != gotImages.size())
        return differences << QStringLiteral("%1 images instead of %2").arg(gotImages.size()).arg(wantImages.size());
    for (qsizetype i = 0; i < wantImages.size(); ++i) {
        for (const QString &difference : pixelDifferences(wantImages[i], gotImages[i]))
            differences.append(QStringLiteral("image %1: ").arg(i) + difference);
    }
    return differences;
}

class PictureGenerator : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(output.isValid());
        ASSERT_EQ(run({output.path()}), 0);
    }

    QByteArray committed(const QString &path) const { return contentsOf(QString(UI_SOURCE_DIR "/") + path); }
    QByteArray generated(const QString &path) const { return contentsOf(output.filePath(path)); }

    QTemporaryDir output;
};

TEST_F(PictureGenerator, RedrawsTheCommittedPictures)
{
    for (const QString folder : {"main/pictures", "offers/pictures"}) {
        const QStringList names = QDir(QString(UI_SOURCE_DIR "/") + folder).entryList(QDir::Files);
        ASSERT_FALSE(names.isEmpty());
        EXPECT_EQ(QDir(output.filePath(folder)).entryList(QDir::Files), names) << folder.toStdString();
        for (const QString &name : names) {
            const QString path = folder + "/" + name;
            const QStringList differences = fileDifferences(name, committed(path), generated(path));
            EXPECT_TRUE(differences.isEmpty())
                << path.toStdString() << " (regenerate the pictures with picturegen):\n"
                << differences.mid(0, 10).join(u'\n').toStdString();
        }
    }
}

// The comparison passes rounding but not a real change: a channel off by more than the
// tolerance, a shape's edge a pixel wider, a header field.
TEST_F(PictureGenerator, TheComparisonPassesRoundingButNotARealChange)
{
    const QByteArray icon = generated("main/pictures/BrowseInput.ico");
    const QImage picture = QImage::fromData(icon, "ICO").convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(picture.size(), QSize(20, 20));
    const auto redShifted = [&](int steps) {
        QImage image = picture;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb p = image.pixel(x, y);
                image.setPixel(x, y, qRgba(std::clamp(qRed(p) + steps, 0, 255), qGreen(p), qBlue(p), qAlpha(p)));
            }
        return image;
    };
    EXPECT_TRUE(pixelDifferences(picture, redShifted(tolerance)).isEmpty());
    EXPECT_FALSE(pixelDifferences(picture, redShifted(tolerance + 2)).isEmpty());

    QImage widened = picture;
    for (int y = 0; y < widened.height(); ++y) {
        for (int x = widened.width() - 1; x > 0; --x) {
            if (qAlpha(widened.pixel(x, y)) == 0 && qAlpha(widened.pixel(x - 1, y)) != 0) {
                widened.setPixel(x, y, widened.pixel(x - 1, y));
                break;
            }
        }
    }
    EXPECT_FALSE(pixelDifferences(picture, widened).isEmpty());

    QByteArray changedIcon = icon;
    QByteArray cursor = generated("offers/pictures/PointingHand.cur");
    ASSERT_TRUE(fileDifferences("BrowseInput.ico", icon, icon).isEmpty());
    changedIcon[6 + 6] = 4; // the bit count of the first image
    cursor[6 + 4] = char(cursor[6 + 4] + 1); // the hot spot's x
    EXPECT_FALSE(fileDifferences("BrowseInput.ico", icon, changedIcon).isEmpty());
    EXPECT_FALSE(fileDifferences("PointingHand.cur", generated("offers/pictures/PointingHand.cur"), cursor).isEmpty());
}

TEST(PictureGeneratorProgram, FailsWhenItCannotWrite)
{
    QTemporaryDir output;
    ASSERT_TRUE(output.isValid());
    QFile blocker(output.filePath("main"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QString errors;
    EXPECT_EQ(run({output.path()}, &errors), 1);
    EXPECT_TRUE(errors.contains(output.path())) << errors.toStdString();
    EXPECT_EQ(run({}), 2);
}

} // namespace
