#include "script/gametypes.h"

#include <algorithm>

namespace Gametypes {

const Gametype *find(QStringView word)
{
    const auto found = std::find_if(std::begin(all), std::end(all),
        [word](const Gametype &gametype) { return gametype.word.compare(word, Qt::CaseInsensitive) == 0; });
    return found == std::end(all) ? nullptr : found;
}

QStringList words()
{
    QStringList list;
    for (const Gametype &gametype : all)
        list << gametype.word.toString();
    return list;
}

} // namespace Gametypes
