#include "widgets/artwork.h"

#include <QImage>
#include <QResource>

#include <array>
#include <cstring>

using namespace Qt::StringLiterals;

// Kept out of any namespace, as Q_INIT_RESOURCE asks.
static void initArtworkResource()
{
    Q_INIT_RESOURCE(artwork);
}

namespace {

// The pixels of ":/art/<name>.pixels" as an image over the resource's own bytes.
QImage stored(const QString &name)
{
    static const bool registered = (initArtworkResource(), true);
    Q_UNUSED(registered);
    const QResource resource(u":/art/"_s + name + u".pixels"_s);
    std::array<quint32, 4> header {};
    if (resource.compressionAlgorithm() != QResource::NoCompression || resource.size() < qint64(sizeof header))
        return {};
    std::memcpy(header.data(), resource.data(), sizeof header);
    const qint64 width = header[1], height = header[2];
    if (header[0] != 0x58504654u || resource.size() != qint64(sizeof header) + width * height * 4)
        return {};
    const uchar *pixels = resource.data() + sizeof header;
    QImage image(pixels, int(width), int(height), int(width * 4), QImage::Format(header[3]));
    // An image's rows must start at 32-bit boundaries; the resources keep them
    // there, as every entry is a whole number of words, but never assume it.
    if (reinterpret_cast<quintptr>(pixels) % alignof(quint32))
        image = image.copy();
    return image;
}

} // namespace

namespace Artwork {

QIcon icon(QStringView name)
{
    QIcon icon;
    const QString base = name.toString();
    // QIcon picks by size in device pixels and sets the ratio of what it
    // returns, so the pixmaps keep a ratio of 1: setting it would copy them.
    for (const QString &suffix : { u""_s, u"@2x"_s }) {
        QImage image = stored(base + suffix);
        if (!image.isNull())
            icon.addPixmap(QPixmap::fromImage(std::move(image)));
    }
    return icon;
}

QPixmap pixmap(QStringView name, QSize size)
{
    return icon(name).pixmap(size);
}

} // namespace Artwork
