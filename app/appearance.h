#pragma once

#include <QFont>

// The window's fixed geometry was drawn for an 11-pixel UI sans of Arial-like
// widths; wider desktop defaults would clip captions, so the program chooses
// its fonts itself instead of following the desktop's.
namespace Appearance {

// The face of every control: a sans with Arial's widths at 11 pixels.
QFont uiFont();

// Sets up the application as shipped: its names, style, palette, font and
// window icon. Call once, after the QApplication exists and before any window
// is built; the program, the tests, the bench and the tools all do, so each
// sees the same window.
void setUpApplication();

// Starts reading the system's font configuration on a thread of its own.
// Called before the QApplication exists, it reads while Qt connects to the
// display; otherwise the window's first caption would wait for it, over a
// quarter of the work before the first frame. setUpApplication() waits for
// what is left of it rather than have Qt read the configuration a second time.
void loadFontConfigurationMeanwhile();

} // namespace Appearance
