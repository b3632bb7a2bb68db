// Turns the pictures people edit (PNG, JPEG) into the form the program draws:
// raw pixels in the format a pixmap holds on screen, so nothing is decoded on
// the way to the first frame.
//
//   bakeart <output-folder> <picture>...
//
// Each picture becomes <output-folder>/<name>.pixels: a header of four
// native-endian 32-bit words (the magic "TFPX", width, height, QImage format)
// and then the rows, 4 bytes a pixel, without padding. app's Artwork reads it.

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QSaveFile>

#include <algorithm>
#include <array>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3) {
        std::fputs("usage: bakeart <output-folder> <picture>...\n", stderr);
        return 2;
    }
    const QDir out(args.at(1));
    if (!out.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "bakeart: cannot make %s\n", qPrintable(args.at(1)));
        return 1;
    }
    for (const QString &path : args.mid(2)) {
        QImage image(path);
        if (image.isNull()) {
            std::fprintf(stderr, "bakeart: cannot read %s\n", qPrintable(path));
            return 1;
        }
        // What QPixmap::fromImage makes of the decoded picture on a raster
        // screen, so drawing it needs no conversion either: opaque pixels, with
        // no alpha channel to blend, or premultiplied ones.
        image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        bool opaque = true;
        for (int y = 0; opaque && y < image.height(); ++y) {
            const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
            opaque = std::all_of(row, row + image.width(), [](QRgb pixel) { return qAlpha(pixel) == 255; });
        }
        if (opaque)
            image = image.convertToFormat(QImage::Format_RGB32);
        const std::array<quint32, 4> header { 0x58504654u, quint32(image.width()), quint32(image.height()),
            quint32(image.format()) };
        QSaveFile file(out.filePath(QFileInfo(path).completeBaseName() + QStringLiteral(".pixels")));
        bool written = file.open(QIODevice::WriteOnly)
            && file.write(reinterpret_cast<const char *>(header.data()), sizeof header) == qint64(sizeof header);
        for (int y = 0; written && y < image.height(); ++y) {
            const qint64 row = qint64(image.width()) * 4;
            written = file.write(reinterpret_cast<const char *>(image.constScanLine(y)), row) == row;
        }
        if (!written || !file.commit()) {
            std::fprintf(stderr, "bakeart: cannot write %s\n", qPrintable(file.fileName()));
            return 1;
        }
    }
    return 0;
}
