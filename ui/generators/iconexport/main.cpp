// iconexport: writes the 32-bit images of an icon file as the PNG files of an icon theme.
//
//   iconexport ICON_FILE THEME_FOLDER NAME SIZE...
//
// For each SIZE, the 32-bit image of SIZE by SIZE pixels in ICON_FILE becomes
// THEME_FOLDER/SIZExSIZE/apps/NAME.png. An icon file may hold an 8-bit image of the same
// size, whose edges are only a 1-bit mask; Qt's reader does not tell the two apart, so
// the bit depth is taken from the icon file's directory.

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QtEndian>

#include <cstdio>
#include <optional>

namespace {

// The position in the directory of the 32-bit image of `size` by `size` pixels.
std::optional<int> findImage(const QByteArray &icon, int size)
{
    constexpr int headerSize = 6, entrySize = 16;
    if (icon.size() < headerSize)
        return std::nullopt;
    const auto *bytes = reinterpret_cast<const uchar *>(icon.constData());
    const int count = qFromLittleEndian<quint16>(bytes + 4);
    for (int index = 0; index < count && headerSize + (index + 1) * entrySize <= icon.size(); ++index) {
        const uchar *entry = bytes + headerSize + index * entrySize;
        // A width or height byte of 0 stands for 256.
        const int width = entry[0] ? entry[0] : 256, height = entry[1] ? entry[1] : 256;
        if (width == size && height == size && qFromLittleEndian<quint16>(entry + 6) == 32)
            return index;
    }
    return std::nullopt;
}

bool exportImage(const QByteArray &icon, int size, const QDir &theme, const QString &name)
{
    const std::optional<int> index = findImage(icon, size);
    if (!index) {
        std::fprintf(stderr, "iconexport: the icon holds no 32-bit image of %dx%d pixels\n", size, size);
        return false;
    }
    QBuffer buffer;
    buffer.setData(icon);
    QImageReader reader(&buffer, "ico");
    const QImage image = reader.jumpToImage(*index) ? reader.read() : QImage();
    if (image.size() != QSize(size, size)) {
        std::fprintf(stderr, "iconexport: cannot read the %dx%d image: %s\n", size, size,
                     qPrintable(reader.errorString()));
        return false;
    }
    const QString folder = QStringLiteral("%1x%1/apps").arg(size);
    const QString path = theme.filePath(folder + u'/' + name + QStringLiteral(".png"));
    if (!theme.mkpath(folder) || !image.save(path, "PNG")) {
        std::fprintf(stderr, "iconexport: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 5) {
        std::fprintf(stderr, "usage: iconexport ICON_FILE THEME_FOLDER NAME SIZE...\n");
        return 2;
    }
    QFile file(arguments[1]);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "iconexport: cannot read %s\n", qPrintable(arguments[1]));
        return 1;
    }
    const QByteArray icon = file.readAll();
    const QDir theme(arguments[2]);
    bool ok = true;
    for (const QString &size : arguments.mid(4))
        ok = exportImage(icon, size.toInt(), theme, arguments[3]) && ok;
    return ok ? 0 : 1;
}
