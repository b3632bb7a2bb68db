#pragma once

#include "gamefolder/trouble.h"
#include "script/gametypes.h"

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// A map file as the game loads it: the header names where the entity text
// lies, and the entities, with the map's level script, decide which
// gametypes the map can run (see Gametypes). Both read bytes from strangers,
// so nothing in them is trusted.
namespace MapFile {

// "IBSP", the version, then 33 lumps of length and offset.
inline constexpr qsizetype headerBytes = 8 + 33 * 8;
// Real maps carry well under 1 MiB of entities.
inline constexpr qint64 largestEntities = 8 << 20;
// Real level scripts are a few KiB.
inline constexpr qint64 largestLevelScript = 1 << 20;

struct Lump {
    qint64 offset = 0;
    qint64 length = 0;
};

struct EntityLump {
    std::optional<Lump> lump;
    std::optional<Trouble> trouble; // why there is none, when there is none
};

// Where the entity text of a map of `fileBytes` bytes lies, from its header.
EntityLump entityLump(QByteArrayView header, qint64 fileBytes);

// What a map holds of what the gametypes need.
struct Holds {
    QStringList spawns; // the classnames of spawn points it has at least one entity of
    int radios = 0; // entities with the radios' targetname
    bool radiosScripted = false; // its level script names the radios, so places them

    friend bool operator==(const Holds &, const Holds &) = default;
};

// What `entities`, a map's entity text, hold.
Holds holdsOf(QByteArrayView entities);
// Whether a level script's text names the radios.
bool namesRadios(QByteArrayView levelScript);
// Whether only the map's level script can place the radios it lacks.
bool wantsLevelScript(const Holds &holds);

// What of `gametype`'s needs a map that holds `holds` lacks; none when it runs it.
QList<Gametypes::Need> lacking(const Holds &holds, const Gametypes::Gametype &gametype);
// The game's gametypes a map that holds `holds` runs, in the table's order.
QStringList gametypesRun(const Holds &holds);

// What a map holds, read from a map of `fileBytes` bytes through `read`,
// which fills up to `n` bytes at `to` in the file's order and returns how
// many it filled, 0 at the end and -1 on error (then `readError`, if given,
// says why). Reads no further than the entities, and no more than
// `fileBytes`; `skip`, where the file can seek, passes over bytes unread.
struct Spawns {
    std::optional<Holds> holds;
    std::optional<Trouble> trouble; // why there is nothing, when there is nothing
    qint64 bytesRead = 0;
};
using Read = std::function<qint64(char *to, qint64 n)>;
Spawns readSpawns(qint64 fileBytes, const Read &read, const std::function<QString()> &readError = {},
    const std::function<bool(qint64 to)> &skip = {});

} // namespace MapFile
