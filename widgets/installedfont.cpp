#include "widgets/installedfont.h"

#include <QFontDatabase>

#include <algorithm>

QFont installedFont(std::initializer_list<QString> families, QFont::StyleHint hint, int pixelSize)
{
    // One look at the installed families, not QFontDatabase::hasFamily per name: that also has
    // fontconfig resolve each name as an alias, about 0.9 M instructions a call before the first
    // frame, and these lists name real families.
    const QStringList installedFamilies = QFontDatabase::families();
    const auto installed = std::find_if(families.begin(), families.end(),
        [&](const QString &family) { return installedFamilies.contains(family, Qt::CaseInsensitive); });
    QFont font;
    if (installed != families.end())
        font.setFamily(*installed);
    else
        font.setFamilies(QStringList(families));
    font.setStyleHint(hint);
    font.setPixelSize(pixelSize);
    return font;
}
