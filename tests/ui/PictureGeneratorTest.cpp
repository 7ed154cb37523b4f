#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// JPEG output may shift by a step of rounding with another build of the codec, and
// anti-aliased edges by a step with the CPU that Qt's drawing code picks its vector
// instructions for.
int largestDifference(const QImage &a, const QImage &b)
{
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
        }
    }
    return largest;
}

// Every image in both files (an icon holds several), pixel by pixel within `tolerance`.
void expectSamePictures(const QString &expectedPath, const QString &actualPath, int tolerance)
{
    QImageReader expected(expectedPath), actual(actualPath);
    ASSERT_EQ(actual.imageCount(), expected.imageCount());
    int image = 0;
    do {
        SCOPED_TRACE("image " + std::to_string(image++));
        const QImage want = expected.read(), got = actual.read();
        ASSERT_FALSE(want.isNull());
        ASSERT_EQ(got.size(), want.size());
        EXPECT_EQ(got.depth(), want.depth());
        EXPECT_LE(largestDifference(want, got), tolerance) << "regenerate the pictures with picturegen";
    } while (expected.jumpToNextImage() && actual.jumpToNextImage());
}

TEST(PictureGenerator, RedrawsTheCommittedPictures)
{
    QTemporaryDir output;
    ASSERT_TRUE(output.isValid());
    ASSERT_EQ(run({output.path()}), 0);

    for (const QString folder : {"main/pictures", "offers/pictures"}) {
        const QDir committed(QString(UI_SOURCE_DIR) + "/" + folder);
        const QDir generated(output.filePath(folder));
        const QStringList names = committed.entryList(QDir::Files);
        ASSERT_FALSE(names.isEmpty());
        EXPECT_EQ(generated.entryList(QDir::Files), names) << folder.toStdString();
        for (const QString &name : names) {
            SCOPED_TRACE((folder + "/" + name).toStdString());
            if (contents(committed.filePath(name)) != contents(generated.filePath(name)))
                expectSamePictures(committed.filePath(name), generated.filePath(name), 2);
        }
    }
}

TEST(PictureGenerator, FailsWhenItCannotWrite)
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
