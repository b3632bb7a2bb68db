#include "widgets/systemcolors.h"

QColor systemColor(SystemColor color, const QPalette &palette)
{
    switch (color) {
    case SystemColor::ButtonFace: return palette.color(QPalette::Button);
    case SystemColor::ButtonHighlight: return palette.color(QPalette::Light);
    case SystemColor::ButtonShadow: return palette.color(QPalette::Dark);
    case SystemColor::DarkShadow3D: return palette.color(QPalette::Shadow);
    case SystemColor::WindowFrame: return palette.color(QPalette::WindowText);
    case SystemColor::GrayText: return palette.color(QPalette::Disabled, QPalette::Text);
    case SystemColor::Menu: return palette.color(QPalette::Window);
    case SystemColor::HotTrack: return palette.color(QPalette::Link);
    case SystemColor::Highlight: return palette.color(QPalette::Highlight);
    case SystemColor::HighlightText: return palette.color(QPalette::HighlightedText);
    case SystemColor::ActiveBorder: return palette.color(QPalette::Midlight);
    }
    Q_UNREACHABLE();
}
