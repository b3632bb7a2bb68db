#pragma once

#include "gamefolder/arenafile.h"
#include "gamefolder/gscscript.h"
#include "gamefolder/mapfile.h"
#include "gamefolder/trouble.h"

#include <QByteArrayView>
#include <QList>
#include <QString>

#include <atomic>
#include <functional>
#include <optional>

// What a game archive (a .pk3, a zip archive) holds of interest to a server
// script: its maps, their level scripts and the long names its arena files
// give them, the scripts exec may run and the names of variables its game
// scripts read. Read with libzip, never extracted: only the entry names, each
// map's header and entities, the level scripts, arena files and scripts, each
// read no further than the size its entry declares and than a ceiling of its
// own.
namespace GameArchive {

// Real maps are a few tens of MiB.
inline constexpr qint64 largestMap = 128 << 20;
// What reading one game folder may inflate, whatever its entries claim.
inline constexpr qint64 folderBudget = qint64(2) << 30;

// What one game folder's scripts may keep in memory, their text and the names of their variables; a real
// server's keep well under a MiB. One archive keeps no more while it is read; the folder's places are then held to
// it in the order the game searches them, so that the same folder keeps the same scripts every time.
inline constexpr qint64 keptBudget = 64 << 20;

// Whether the maps' entities and level scripts are read, or only the names.
enum class Detail { Names, Spawns };

// What the reading of one game folder may still inflate, shared by the
// archives read side by side, and whether the reading is still wanted.
class ReadBudget {
public:
    explicit ReadBudget(qint64 bytes = folderBudget, std::function<bool()> stopped = {})
        : m_left(bytes)
        , m_total(bytes)
        , m_stopped(std::move(stopped))
    {
    }

    // Takes `bytes` from what is left; false, taking nothing, when less is left.
    bool take(qint64 bytes)
    {
        qint64 left = m_left.load();
        do {
            if (left < bytes)
                return false;
        } while (!m_left.compare_exchange_weak(left, left - bytes));
        return true;
    }
    bool stopped() const { return m_stopped && m_stopped(); }
    qint64 total() const { return m_total; }

private:
    std::atomic<qint64> m_left;
    const qint64 m_total;
    const std::function<bool()> m_stopped;
};

struct Map {
    QString path; // the entry's name in the archive
    QString name; // as a rotation names it
    std::optional<MapFile::Holds> holds; // none when not read
};

struct Arena {
    QString path;
    QList<ArenaFile::Entry> entries;
};

// A map's level script, maps/mp/NAME.gsc, which may place the HQ radios.
struct LevelScript {
    QString path;
    QString name; // the map's
    bool namesRadios = false;
};

// A script exec may run (.cfg): its text only where exec can take it whole.
struct Config {
    QString path;
    qint64 bytes = 0;
    std::optional<QByteArray> text;
    bool kept = true; // false when the folder's scripts kept too much to keep its text
};

// A game script (.gsc): what it does with the names of variables (see GscReader).
struct GameScript {
    QString path;
    GscScript script;
};

// More scripts of a kind than a mod's archive holds; the rest are left unread.
inline constexpr qsizetype mostScripts = 4096;
// Real game scripts are well under a MiB; they are read within the maps' ceiling, in pieces.
inline constexpr qint64 largestGameScript = largestMap;

struct Contents {
    QList<Map> maps;
    QList<Arena> arenas;
    QList<LevelScript> levelScripts;
    QList<Config> configs;
    QList<GameScript> gameScripts;
    bool gameScriptsWhole = true; // false when a game script's names were not all read
    QList<Trouble> troubles; // what could not be read
    bool whole = true; // false when the reading stopped, ran out of its budget or kept less than it read
};

Contents read(const QString &path, Detail detail, ReadBudget &budget);
// An archive held in memory.
Contents read(QByteArrayView bytes, Detail detail);

} // namespace GameArchive
