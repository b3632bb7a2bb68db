#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QStringView>

// The window's pictures, built into the program as raw pixels (see
// assets/bakeart.cpp) and drawn straight from there: nothing is decoded or
// copied. `name` is a picture's file name in assets/art without its extension.
namespace Artwork {

enum class Sizes {
    // The twice-size version only where a screen's device pixel ratio is above
    // 1: elsewhere QIcon never picks it for a picture's own size, and unread it
    // takes no memory.
    ForScreens,
    Both, // as for the window icon, which the window manager may show larger
};

// The picture as QIcon would load the file and its @2x version.
QIcon icon(QStringView name, Sizes sizes = Sizes::ForScreens);

// The picture at `size`, for the application's device pixel ratio.
QPixmap pixmap(QStringView name, QSize size);

} // namespace Artwork
