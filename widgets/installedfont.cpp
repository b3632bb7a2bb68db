#include "widgets/installedfont.h"

#include <QFontDatabase>

#include <algorithm>

QFont installedFont(std::initializer_list<QString> families, QFont::StyleHint hint, int pixelSize)
{
    QFont font;
    const auto installed = std::find_if(families.begin(), families.end(), &QFontDatabase::hasFamily);
    if (installed != families.end())
        font.setFamily(*installed);
    else
        font.setFamilies(QStringList(families));
    font.setStyleHint(hint);
    font.setPixelSize(pixelSize);
    return font;
}
