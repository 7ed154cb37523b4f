// picturegen redraws the committed pictures. Anti-aliased drawing rounds a little
// differently from one processor to the next, and an 8-bit icon's palette follows its
// pixels, so the files are compared by what matters: their headers byte for byte, and
// their decoded pixels within a couple of steps per channel.

#include "PictureFields.h"
#include "TestFiles.h"

#include <QBuffer>
#include <QDir>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

int run(const QStringList &arguments)
{
    QProcess generator;
    generator.start(PICTUREGEN_PATH, arguments);
    if (!generator.waitForFinished(60000) || generator.exitStatus() != QProcess::NormalExit)
        return -1;
    return generator.exitCode();
}

// The bytes that describe a file rather than its pixels: an icon's or cursor's directory
// (sizes, depths, hot spots, offsets) and bitmap headers, a bitmap's headers, and what a
// JPEG holds before its scan (its JFIF and frame headers and its tables).
QByteArray headers(const QString &name, const QByteArray &data)
{
    if (name.endsWith(".bmp"))
        return data.left(54);
    if (name.endsWith(".jpg"))
        return data.left(data.indexOf("\xff\xda"));
    const quint32 count = std::min(le(data, 4, 2), 16u);
    QByteArray headers = data.left(6 + 16 * count);
    for (quint32 i = 0; i < count; ++i)
        headers += data.mid(le(data, 6 + 16 * i + 12, 4), 40);
    return headers;
}

// Everything in which a redrawn file differs from the committed one beyond rounding: its
// headers, its number of images or their sizes, a pixel see-through in one and not in
// the other, or a channel of a pixel that shows off by more than two steps.
QStringList differences(const QString &name, const QByteArray &committed, const QByteArray &redrawn)
{
    QStringList found;
    if (headers(name, committed) != headers(name, redrawn))
        found << "headers " + headers(name, redrawn).toHex(' ') + " instead of " + headers(name, committed).toHex(' ');
    QBuffer wantData, gotData;
    wantData.setData(committed);
    gotData.setData(redrawn);
    QImageReader wantReader(&wantData), gotReader(&gotData);
    if (wantReader.imageCount() != gotReader.imageCount())
        return found << QStringLiteral("%1 images instead of %2").arg(gotReader.imageCount()).arg(wantReader.imageCount());
    for (int i = 0; i < std::max(wantReader.imageCount(), 1); ++i) {
        const QImage want = wantReader.read().convertToFormat(QImage::Format_ARGB32);
        const QImage got = gotReader.read().convertToFormat(QImage::Format_ARGB32);
        wantReader.jumpToNextImage();
        gotReader.jumpToNextImage();
        if (want.isNull() || want.size() != got.size()) {
            found << QStringLiteral("image %1 unread or of another size").arg(i);
            continue;
        }
        for (int y = 0; y < want.height(); ++y) {
            for (int x = 0; x < want.width(); ++x) {
                const QRgb p = want.pixel(x, y), q = got.pixel(x, y);
                const int largest = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                              std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
                // Colours under a see-through pixel are not seen.
                if ((qAlpha(p) == 0) != (qAlpha(q) == 0) || (qAlpha(p) != 0 && largest > 2))
                    found << QStringLiteral("image %1: pixel %2,%3 is %4 instead of %5")
                                 .arg(i).arg(x).arg(y).arg(q, 8, 16, QChar(u'0')).arg(p, 8, 16, QChar(u'0'));
            }
        }
    }
    return found;
}

class PictureGenerator : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(output.isValid());
        ASSERT_EQ(run({output.path()}), 0);
    }

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
            const QStringList found = differences(name, contentsOf(QString(UI_SOURCE_DIR "/") + path), generated(path));
            EXPECT_TRUE(found.isEmpty()) << path.toStdString() << " (regenerate the pictures with picturegen):\n"
                                         << found.mid(0, 10).join(u'\n').toStdString();
        }
    }
}

// The comparison passes rounding but not a real change: a channel off by more than two
// steps, a pixel see-through in one file only, a header field that the pixels do not show.
TEST_F(PictureGenerator, TheComparisonPassesRoundingButNotARealChange)
{
    const auto changed = [](QByteArray data, qsizetype at, int by) {
        data[at] = char(data[at] + by);
        return data;
    };
    // The first pixel's blue channel, moved away from its end of the range.
    const QByteArray bitmap = generated("main/pictures/BrowseInput-disabled.bmp");
    const int step = uchar(bitmap[54]) < 128 ? 1 : -1;
    EXPECT_TRUE(differences("BrowseInput-disabled.bmp", bitmap, changed(bitmap, 54, 2 * step)).isEmpty());
    EXPECT_FALSE(differences("BrowseInput-disabled.bmp", bitmap, changed(bitmap, 54, 3 * step)).isEmpty());
    EXPECT_FALSE(differences("BrowseInput-disabled.bmp", bitmap, changed(bitmap, 38, 1)).isEmpty()) << "resolution";

    // The last bytes of an icon hold the AND mask of its top row, starting at the left: a
    // pixel more or less of the shape.
    const QByteArray icon = generated("main/pictures/BrowseInput.ico");
    EXPECT_FALSE(differences("BrowseInput.ico", icon, changed(icon, icon.size() - 4, 0x80)).isEmpty());
}

} // namespace
