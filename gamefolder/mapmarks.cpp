#include "gamefolder/mapmarks.h"

#include "gamefolder/mapfile.h"

using namespace Qt::StringLiterals;
using ConsoleReader::Problem;

namespace GameFolder {

namespace {

QString missingSentence(const ConsoleReader::MapWord &word)
{
    const QString lacks = u"The game folder has no map %1: the game says \"Can't find map\" and "_s.arg(word.name);
    return lacks
        + (word.inRotation ? u"stays on the level it was on until an admin steps in."_s
                           : u"stays on the level it was on; run at start-up, it starts no level at all."_s);
}

QString withoutSpawnsSentence(const ConsoleReader::MapWord &word, const QStringList &runs)
{
    const QString gametype = word.inRotation
        ? word.gametype
        : u"%1 (line %2 sets g_gametype)"_s.arg(word.gametype, QString::number(word.gametypeLine + 1));
    return u"%1 has no spawn points for %2: the game aborts the level (\"gametype is not supported\") and plays "
           "the %3 as deathmatch. %4"_s.arg(word.name, gametype,
               word.inRotation ? u"next map"_s : u"rotation's next map"_s,
               runs.isEmpty() ? u"It has spawn points for none of the game's gametypes."_s
                              : u"It runs %1."_s.arg(runs.join(u", "_s)));
}

} // namespace

void addMapMarks(ConsoleReader::Reading &reading, const Contents &folder)
{
    for (const ConsoleReader::MapWord &word : std::as_const(reading.maps)) {
        if (const Map *map = folder.caseOnly(word.name)) {
            reading.marks.append({ word.span, Problem::MapCaseOnly,
                u"The server opens a loose map by its exact name, and only %1 is there: it does not find %2."_s.arg(
                    map->file, word.name) });
            continue;
        }
        const Map *map = folder.find(word.name);
        if (!map) {
            reading.marks.append({ word.span, Problem::MapMissing, missingSentence(word) });
            continue;
        }
        const bool gamesGametype = MapFile::gametypes().contains(word.gametype, Qt::CaseInsensitive);
        if (map->gametypes && gamesGametype && !map->gametypes->contains(word.gametype, Qt::CaseInsensitive)) {
            reading.marks.append(
                { word.span, Problem::MapWithoutSpawns, withoutSpawnsSentence(word, *map->gametypes) });
        }
    }
}

} // namespace GameFolder
