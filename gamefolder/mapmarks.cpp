#include "gamefolder/mapmarks.h"

#include "script/gametypes.h"

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

QString gametypeOf(const ConsoleReader::MapWord &word)
{
    return word.inRotation ? word.gametype
        : word.gametypeScript.isEmpty()
        ? u"%1 (line %2 sets g_gametype)"_s.arg(word.gametype, QString::number(word.gametypeLine + 1))
        : u"%1 (line %2 of %3 sets g_gametype)"_s.arg(
            word.gametype, QString::number(word.gametypeLine + 1), word.gametypeScript);
}

QString aborts(const ConsoleReader::MapWord &word)
{
    return u"the game aborts the level (\"gametype is not supported\") and plays the %1 as deathmatch."_s.arg(
        word.inRotation ? u"next map"_s : u"rotation's next map"_s);
}

QString runs(const QStringList &gametypes)
{
    return gametypes.isEmpty() ? u"It runs none of the game's gametypes."_s
                               : u"It runs %1."_s.arg(gametypes.join(u", "_s));
}

// Names what the map lacks as the maps window does: "no allied sd spawn points".
QString withoutSpawnsSentence(
    const ConsoleReader::MapWord &word, const QList<Gametypes::Need> &lacks, const QStringList &gametypes)
{
    QStringList missing;
    for (const Gametypes::Need &need : lacks) {
        if (need.kind == Gametypes::Need::Kind::Spawns)
            missing << u"no "_s + need.named.toString();
    }
    return u"%1 runs no %2: it has %3, so %4 %5"_s.arg(
        word.name, gametypeOf(word), missing.join(u" and "_s), aborts(word), runs(gametypes));
}

QString notOfferedSentence(const ConsoleReader::MapWord &word, const QStringList &gametypes)
{
    return u"%1 runs no %2: the game's own arena file does not offer it there, so %3 %4"_s.arg(
        word.name, gametypeOf(word), aborts(word), runs(gametypes));
}

QString withoutRadiosSentence(
    const ConsoleReader::MapWord &word, const Gametypes::Need &radios, const QStringList &gametypes)
{
    return u"%1 has no HQ radios for %2: without %3 entities named %4, from the map or its level script "
           "maps/mp/%1.gsc, %5 %6"_s.arg(
               word.name, gametypeOf(word), QString::number(radios.count), radios.name, aborts(word), runs(gametypes));
}

} // namespace

void addMapMarks(ConsoleReader::Reading &reading, const Contents &folder)
{
    if (folder.archivesUnread)
        return;
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
        const Gametypes::Gametype *gametype = Gametypes::find(word.gametype);
        if (!gametype || !map->gametypes)
            continue;
        if (notOfferedByArena(*map, *gametype)) {
            reading.marks.append({ word.span, Problem::MapWithoutSpawns, notOfferedSentence(word, *map->gametypes) });
            continue;
        }
        const QList<Gametypes::Need> lacks = lacking(*map, *gametype);
        const auto spawns = std::find_if(lacks.begin(), lacks.end(),
            [](const Gametypes::Need &need) { return need.kind == Gametypes::Need::Kind::Spawns; });
        if (spawns != lacks.end()) {
            reading.marks.append(
                { word.span, Problem::MapWithoutSpawns, withoutSpawnsSentence(word, lacks, *map->gametypes) });
        } else if (!lacks.isEmpty()) {
            reading.marks.append(
                { word.span, Problem::MapWithoutRadios, withoutRadiosSentence(word, lacks.first(), *map->gametypes) });
        }
    }
}

} // namespace GameFolder
