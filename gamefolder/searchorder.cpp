#include "gamefolder/searchorder.h"

#include <utility>

namespace SearchOrder {

QString nameKey(QStringView name)
{
    QString key = name.toString();
    for (QChar &c : key) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - u'a' + u'A');
        else if (c == u'\\' || c == u':')
            c = u'/';
    }
    return key;
}

bool searchedBefore(QStringView a, QStringView b)
{
    // Names equal to the game fall back on the names as they are, so that the order is one every time.
    return std::pair(nameKey(a), a) > std::pair(nameKey(b), b);
}

bool isSearched(QStringView fileName, QStringView language)
{
    if (!fileName.endsWith(u".pk3", Qt::CaseInsensitive))
        return false;
    constexpr QStringView localized = u"localized_";
    if (!fileName.startsWith(localized, Qt::CaseInsensitive))
        return true;
    const QStringView rest = fileName.sliced(localized.size());
    return rest.startsWith(language, Qt::CaseInsensitive) && rest.sliced(language.size()).startsWith(u'_');
}

bool isGameArchive(QStringView fileName)
{
    if (!fileName.endsWith(u".pk3", Qt::CaseInsensitive) || fileName.size() < 8)
        return false;
    const QStringView stem = fileName.chopped(4);
    if (stem.back() < u'0' || stem.back() > u'8')
        return false;
    const QStringView prefix = stem.chopped(1);
    constexpr QStringView localized = u"localized_", pak = u"_pak";
    return prefix.compare(u"pak", Qt::CaseInsensitive) == 0 || prefix.compare(u"mp_pak", Qt::CaseInsensitive) == 0
        || (prefix.size() > localized.size() + pak.size() && prefix.startsWith(localized, Qt::CaseInsensitive)
            && prefix.endsWith(pak, Qt::CaseInsensitive));
}

} // namespace SearchOrder
