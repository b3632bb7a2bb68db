#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QStringView>

// The window's pictures, built into the program as raw pixels (see
// assets/bakeart.cpp) and drawn straight from there: nothing is decoded or
// copied. `name` is a picture's file name in assets/art without its extension.
namespace Artwork {

// The picture in both its sizes, as QIcon would load the file and its @2x version.
QIcon icon(QStringView name);

// The picture at `size`, for the application's device pixel ratio.
QPixmap pixmap(QStringView name, QSize size);

} // namespace Artwork
