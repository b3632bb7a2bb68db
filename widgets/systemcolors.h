#pragma once

#include <QColor>
#include <QPalette>

// The window is described in desktop system colours; each maps onto the
// palette role that plays the same part, so a theme change carries over.
enum class SystemColor {
    ButtonFace,
    ButtonHighlight,
    ButtonShadow,
    DarkShadow3D,
    WindowFrame,
    GrayText,
    Menu,
    HotTrack,
    Highlight,
    HighlightText,
    ActiveBorder,
};

QColor systemColor(SystemColor color, const QPalette &palette = QPalette());
