#pragma once

#include <QString>
#include <QStringView>

// How the game finds a file among a server's folders: which archives it
// searches, in which order, and how it compares names. The folders come
// first to last (the mod folder, then the game folder); within one folder
// its archives come before its loose files, and among its archives the one
// whose name sorts last comes first.
namespace SearchOrder {

// The language whose localized archives count when no other is named.
inline constexpr QStringView defaultLanguage = u"english";

// A name as the game compares names across all its folders and archives:
// a-z read as A-Z, and "\" and ":" as "/". Names that differ only by these
// name one file in an archive; "_" sorts after the letters, digits before.
QString nameKey(QStringView name);

// Whether the game searches archive `a` before archive `b` of the same folder.
bool searchedBefore(QStringView a, QStringView b);

// Whether the game searches the file `fileName` of a folder as an archive:
// a .pk3, and a localized one (localized_<language>_...) only for `language`.
bool isSearched(QStringView fileName, QStringView language);

// Whether `fileName` is one of the game's own archives, which hold the stock
// maps: pak0.pk3 to pak8.pk3, mp_pak0 to mp_pak8, localized_*_pak0 to _pak8.
bool isGameArchive(QStringView fileName);

} // namespace SearchOrder
