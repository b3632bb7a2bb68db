#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// A map file as the game loads it: the header names where the entity text
// lies, and the entities decide which gametypes the map can run. Both read
// bytes from strangers, so nothing in them is trusted.
namespace MapFile {

// "IBSP", the version, then 33 lumps of length and offset.
inline constexpr qsizetype headerBytes = 8 + 33 * 8;
// Real maps carry well under 1 MiB of entities.
inline constexpr qint64 largestEntities = 8 << 20;

struct Lump {
    qint64 offset = 0;
    qint64 length = 0;
};

struct EntityLump {
    std::optional<Lump> lump;
    QString error; // why there is none, when there is none
};

// Where the entity text of a map of `fileBytes` bytes lies, from its header.
EntityLump entityLump(QByteArrayView header, qint64 fileBytes);

// The game's gametypes that `entities` has every spawn point for, in the
// game's order.
QStringList gametypesOf(QByteArrayView entities);

// What the map's spawn points allow, read from a map of `fileBytes` bytes
// through `read`, which fills up to `n` bytes at `to` in the file's order and
// returns how many it filled, 0 at the end and -1 on error. Reads no further
// than the entities, and no more than `fileBytes`.
struct Spawns {
    std::optional<QStringList> gametypes;
    QString error; // why there are none, when there are none
    qint64 bytesRead = 0;
};
Spawns readSpawns(qint64 fileBytes, const std::function<qint64(char *to, qint64 n)> &read);

// The game's own gametypes, which the map's spawn points decide; a mod's
// gametype is none of them.
const QStringList &gametypes();

} // namespace MapFile
