// picturegen: draws every picture of the two windows from shapes and writes the files
// that the windows embed as resources.
//
//   picturegen UI_FOLDER
//
// Writes the main window's pictures into UI_FOLDER/main/pictures and the offers
// window's into UI_FOLDER/offers/pictures, printing each file's name. The output depends
// on nothing but this program, so running it again reproduces the committed files.

#include "Drawings.h"
#include "PictureEncoders.h"

#include <QCoreApplication>
#include <QDir>
#include <QSaveFile>

#include <cstdio>

namespace {

// A button picture: its icon and, beside it, the grey copy shown while disabled.
struct ButtonPicture {
    const char *path;
    QImage (*draw)();
    int bitCount;
};

const ButtonPicture buttonPictures[] = {
    {"main/pictures/BrowseInput", drawFolderWithDisc, 8},
    {"main/pictures/BrowseOutput", drawDiskette, 8},
    {"main/pictures/Convert", drawConvertArrows, 8},
    {"offers/pictures/ReadMore", drawOpenBook, 8},
    {"offers/pictures/Download", drawDownloadArrow, 8},
    {"offers/pictures/Buy", drawShoppingCart, 4},
};

// Grey, a little lighter and flatter than the picture, and magenta where it is
// see-through, taken from the icon as stored so that both masks agree.
QImage disabledCopy(const QByteArray &icon)
{
    const QImage picture = QImage::fromData(icon, "ICO").convertToFormat(QImage::Format_ARGB32);
    QImage copy(picture.size(), QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb pixel = picture.pixel(x, y);
            const int grey = 80 + qGray(pixel) * 3 / 5;
            copy.setPixel(x, y, qAlpha(pixel) == 0 ? qRgb(255, 0, 255) : qRgb(grey, grey, grey));
        }
    }
    return copy;
}

bool write(const QDir &folder, const QString &path, const QByteArray &content)
{
    QSaveFile file(folder.filePath(path));
    if (content.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(content) != content.size()
        || !file.commit()) {
        std::fprintf(stderr, "picturegen: cannot write %s: %s\n", qPrintable(file.fileName()),
                     qPrintable(file.errorString()));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: picturegen UI_FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath("main/pictures") || !folder.mkpath("offers/pictures")) {
        std::fprintf(stderr, "picturegen: cannot create the picture folders in %s\n", argv[1]);
        return 1;
    }

    bool ok = write(folder, "main/pictures/AMRConvert.ico",
                    encodeIcon({{drawHandset(32), 8}, {drawHandset(16), 8}, {drawHandset(48), 32},
                                {drawHandset(32), 32}, {drawHandset(24), 32}, {drawHandset(16), 32}}));
    ok = write(folder, "offers/pictures/Corvane.ico",
               encodeIcon({{drawGiftBox(32), 8}, {drawGiftBox(16), 8}})) && ok;
    for (const ButtonPicture &picture : buttonPictures) {
        const QByteArray icon = encodeIcon({{picture.draw(), picture.bitCount}});
        const QString path = QString::fromLatin1(picture.path);
        ok = write(folder, path + ".ico", icon) && ok;
        ok = write(folder, path + "-disabled.bmp", encodeBitmap24(disabledCopy(icon))) && ok;
    }
    ok = write(folder, "offers/pictures/PointingHand.cur",
               encodeCursor({drawPointingHand(), 8}, pointingHandHotSpot)) && ok;
    for (int product = 0; product < 6; ++product)
        ok = write(folder, QString("offers/pictures/Offer%1.jpg").arg(product + 1),
                   encodeJpeg(drawSoftwareBox(product))) && ok;
    return ok ? 0 : 1;
}
