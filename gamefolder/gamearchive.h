#pragma once

#include "gamefolder/arenafile.h"

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// What a game archive (a .pk3, a zip archive) holds of interest to a server
// script: its maps and the long names its arena files give them. Read with
// libzip, never extracted: only the entry names, each map's header and
// entities, and the arena files, each read no further than the size its
// entry declares and than a ceiling of its own.
namespace GameArchive {

// Real maps are a few tens of MiB.
inline constexpr qint64 largestMap = 128 << 20;
// What one archive may cost in inflated bytes, whatever its entries claim.
inline constexpr qint64 readBudget = qint64(1) << 30;

struct Map {
    QString path; // the entry's name in the archive
    QString name; // as a rotation names it
    std::optional<QStringList> gametypes; // none when not read
};

struct Arena {
    QString path;
    QList<ArenaFile::Entry> entries;
};

struct Contents {
    QList<Map> maps;
    QList<Arena> arenas;
    QStringList problems; // what could not be read, each a reason
};

// Whether the maps' entities are read, or only the names.
enum class Detail { Names, Spawns };

Contents read(const QString &path, Detail detail);
// An archive held in memory.
Contents read(QByteArrayView bytes, Detail detail);

// An entry's name as the game compares it: a-z in upper case, "\" as "/".
QString rankKey(QStringView name);

} // namespace GameArchive
