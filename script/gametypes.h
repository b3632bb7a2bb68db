#pragma once

#include <QLatin1StringView>
#include <QStringList>
#include <QStringView>

#include <span>

// The game's own gametypes: the word g_gametype and a rotation take, the
// caption the pages show, and what a map must hold for the gametype to run
// there. Without it the game aborts the level ("gametype is not supported")
// and plays the next map as deathmatch. The rows stand in the order the
// game's own arena file lists the gametypes, which every sentence follows;
// the pages keep their own screen order by naming these rows.
namespace Gametypes {

struct Need {
    enum class Kind {
        Spawns, // at least one entity of the classname `name`
        Radios, // `count` entities of the targetname `name` once the map's level script has run
    };
    Kind kind;
    QLatin1StringView name;
    QStringView named; // as a sentence names what is missing: "no <named>"
    int count = 1;
};

struct Gametype {
    QStringView word;
    QStringView caption;
    std::span<const Need> needs;
};

inline constexpr Need deathmatchSpawns[] = {
    { Need::Kind::Spawns, QLatin1StringView("mp_deathmatch_spawn"), u"deathmatch spawn points" },
};
inline constexpr Need teamSpawns[] = {
    { Need::Kind::Spawns, QLatin1StringView("mp_teamdeathmatch_spawn"), u"team spawn points" },
};
inline constexpr Need sdSpawns[] = {
    { Need::Kind::Spawns, QLatin1StringView("mp_searchanddestroy_spawn_allied"), u"allied sd spawn points" },
    { Need::Kind::Spawns, QLatin1StringView("mp_searchanddestroy_spawn_axis"), u"axis sd spawn points" },
};
inline constexpr Need reSpawns[] = {
    { Need::Kind::Spawns, QLatin1StringView("mp_retrieval_spawn_allied"), u"allied re spawn points" },
    { Need::Kind::Spawns, QLatin1StringView("mp_retrieval_spawn_axis"), u"axis re spawn points" },
};
inline constexpr Need hqNeeds[] = {
    { Need::Kind::Spawns, QLatin1StringView("mp_teamdeathmatch_spawn"), u"team spawn points" },
    { Need::Kind::Radios, QLatin1StringView("hqradio"), u"HQ radios", 3 },
};

enum Index { Deathmatch, TeamDeathmatch, SearchAndDestroy, Retrieval, BehindEnemyLines, Headquarters };

inline constexpr Gametype all[] = {
    { u"dm", u"Deathmatch", deathmatchSpawns },
    { u"tdm", u"Team Deathmatch", teamSpawns },
    { u"sd", u"Search and Destroy", sdSpawns },
    { u"re", u"Retrieval", reSpawns },
    { u"bel", u"Behind Enemy Lines", teamSpawns },
    { u"hq", u"Headquarters", hqNeeds },
};

// The game's gametype `word` is, in any letter case; none for a mod's.
const Gametype *find(QStringView word);

// The words of all, in their order.
QStringList words();

} // namespace Gametypes
