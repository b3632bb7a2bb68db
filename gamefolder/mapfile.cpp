#include "gamefolder/mapfile.h"

#include "gamefolder/gametext.h"
#include "script/wording.h"

#include <QtEndian>

#include <array>
#include <cstring>

using namespace Qt::StringLiterals;

namespace MapFile {

namespace {

constexpr qint32 mapVersion = 59;
constexpr int entityLumpIndex = 29;

// A gametype aborts the level when the map has no entity of one of these classnames.
const struct {
    QStringView gametype;
    std::array<QByteArrayView, 2> spawns;
} spawnsNeeded[] = {
    { u"dm", { "mp_deathmatch_spawn" } },
    { u"tdm", { "mp_teamdeathmatch_spawn" } },
    { u"bel", { "mp_teamdeathmatch_spawn" } },
    { u"hq", { "mp_teamdeathmatch_spawn" } },
    { u"sd", { "mp_searchanddestroy_spawn_allied", "mp_searchanddestroy_spawn_axis" } },
    { u"re", { "mp_retrieval_spawn_allied", "mp_retrieval_spawn_axis" } },
};

qint32 int32At(QByteArrayView bytes, qsizetype at)
{
    return qFromLittleEndian<qint32>(bytes.data() + at);
}

} // namespace

EntityLump entityLump(QByteArrayView header, qint64 fileBytes)
{
    if (header.size() < headerBytes || !header.startsWith("IBSP"))
        return { std::nullopt, u"not a map file"_s };
    if (const qint32 version = int32At(header, 4); version != mapVersion)
        return { std::nullopt, u"a map of version %1, not %2"_s.arg(version).arg(mapVersion) };
    const qint64 length = int32At(header, 8 + entityLumpIndex * 8);
    const qint64 offset = int32At(header, 8 + entityLumpIndex * 8 + 4);
    if (length < 0 || offset < headerBytes || offset + length > fileBytes)
        return { std::nullopt, u"its entities lie past the end of the file"_s };
    if (length > largestEntities)
        return { std::nullopt, u"its entities are over %1"_s.arg(Wording::size(largestEntities)) };
    return { Lump { offset, length }, {} };
}

QStringList gametypesOf(QByteArrayView entities)
{
    // The lump ends with a NUL in real maps; the game reads up to it.
    if (const qsizetype nul = entities.indexOf('\0'); nul >= 0)
        entities.truncate(nul);
    QList<QByteArrayView> classnames;
    GameTextTokens tokens(entities);
    int depth = 0;
    while (const std::optional<GameTextTokens::Token> token = tokens.next()) {
        if (token->text == "{") {
            ++depth;
        } else if (token->text == "}") {
            depth = std::max(depth - 1, 0);
        } else if (depth > 0) {
            const std::optional<GameTextTokens::Token> value = tokens.next();
            if (token->text == "classname" && value && !classnames.contains(value->text))
                classnames << value->text;
        }
    }
    QStringList runs;
    for (const auto &entry : spawnsNeeded) {
        if (std::all_of(entry.spawns.begin(), entry.spawns.end(),
                [&](QByteArrayView spawn) { return spawn.isEmpty() || classnames.contains(spawn); }))
            runs << entry.gametype.toString();
    }
    return runs;
}

Spawns readSpawns(qint64 fileBytes, const std::function<qint64(char *to, qint64 n)> &read)
{
    Spawns spawns;
    // Fills `bytes` whole from the file, or says why not.
    auto fill = [&](char *to, qint64 bytes) {
        qint64 filled = 0;
        while (filled < bytes) {
            const qint64 got = read(to + filled, bytes - filled);
            if (got <= 0) {
                spawns.error = got < 0 ? u"it cannot be read"_s : u"it ends early"_s;
                return false;
            }
            filled += got;
            spawns.bytesRead += got;
        }
        return true;
    };
    QByteArray header(headerBytes, Qt::Uninitialized);
    if (fileBytes < headerBytes) {
        spawns.error = u"not a map file"_s;
        return spawns;
    }
    if (!fill(header.data(), headerBytes))
        return spawns;
    const EntityLump found = entityLump(header, fileBytes);
    if (!found.lump) {
        spawns.error = found.error;
        return spawns;
    }
    // Archived maps can only be read in order: the bytes before the entities are passed over.
    QByteArray passed(std::min<qint64>(found.lump->offset - headerBytes, 256 << 10), Qt::Uninitialized);
    for (qint64 left = found.lump->offset - headerBytes; left > 0;) {
        const qint64 step = std::min<qint64>(left, passed.size());
        if (!fill(passed.data(), step))
            return spawns;
        left -= step;
    }
    QByteArray entities(found.lump->length, Qt::Uninitialized);
    if (!fill(entities.data(), entities.size()))
        return spawns;
    spawns.gametypes = gametypesOf(entities);
    return spawns;
}

const QStringList &gametypes()
{
    static const QStringList all = [] {
        QStringList names;
        for (const auto &entry : spawnsNeeded)
            names << entry.gametype.toString();
        return names;
    }();
    return all;
}

} // namespace MapFile
