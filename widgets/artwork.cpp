#include "widgets/artwork.h"

#include <QGuiApplication>
#include <QImage>
#include <QResource>

#include <array>
#include <cstring>

using namespace Qt::StringLiterals;

// Kept out of any namespace, as Q_INIT_RESOURCE asks.
static void initArtworkResource()
{
    Q_INIT_RESOURCE(artwork);
    Q_INIT_RESOURCE(artwork_hidpi);
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

QIcon icon(QStringView name, Sizes sizes)
{
    QIcon icon;
    const QString base = name.toString();
    QStringList versions { base };
    if (sizes == Sizes::Both || qApp->devicePixelRatio() > 1.0)
        versions << base + u"@2x"_s;
    for (const QString &version : versions) {
        // QIcon picks by size in device pixels and sets the ratio of what it
        // returns, so the pixmaps keep a ratio of 1: setting it would copy them.
        // The baking stored opaque pictures as opaque: no need to look again.
        QImage image = stored(version);
        if (!image.isNull())
            icon.addPixmap(QPixmap::fromImage(std::move(image), Qt::NoOpaqueDetection));
    }
    return icon;
}

QPixmap pixmap(QStringView name, QSize size)
{
    return icon(name).pixmap(size);
}

} // namespace Artwork
