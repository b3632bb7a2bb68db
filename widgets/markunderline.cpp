#include "widgets/markunderline.h"

QTextCharFormat markUnderline(const QColor &base)
{
    QTextCharFormat format;
    format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
    format.setUnderlineColor(base.lightnessF() < 0.5 ? QColor(0xff, 0x55, 0x55) : QColor(0xd0, 0x10, 0x10));
    return format;
}
