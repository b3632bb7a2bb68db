#pragma once

#include <QColor>
#include <QTextCharFormat>

// The wavy underline under text the game reads otherwise than it looks, in the
// editor and in the pages' fields alike, in a red that stands out on `base`.
QTextCharFormat markUnderline(const QColor &base);
