#include "gamefolder/mapfile.h"

#include "gamefolder/gametext.h"

#include <QtEndian>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace MapFile {

namespace {

constexpr qint32 mapVersion = 59;
constexpr int entityLumpIndex = 29;

qint32 int32At(QByteArrayView bytes, qsizetype at)
{
    return qFromLittleEndian<qint32>(bytes.data() + at);
}

const Gametypes::Need &radiosNeed()
{
    static const Gametypes::Need *const need = [] {
        for (const Gametypes::Gametype &gametype : Gametypes::all) {
            for (const Gametypes::Need &need : gametype.needs) {
                if (need.kind == Gametypes::Need::Kind::Radios)
                    return &need;
            }
        }
        return static_cast<const Gametypes::Need *>(nullptr);
    }();
    return *need;
}

bool meets(const Holds &holds, const Gametypes::Need &need)
{
    switch (need.kind) {
    case Gametypes::Need::Kind::Spawns: return holds.spawns.contains(need.name);
    case Gametypes::Need::Kind::Radios: return holds.radios >= need.count || holds.radiosScripted;
    }
    return false;
}

} // namespace

EntityLump entityLump(QByteArrayView header, qint64 fileBytes)
{
    if (header.size() < headerBytes || !header.startsWith("IBSP"))
        return { std::nullopt, Trouble { Trouble::Kind::NotAMap } };
    if (const qint32 version = int32At(header, 4); version != mapVersion)
        return { std::nullopt, Trouble { Trouble::Kind::MapVersion, {}, version, mapVersion } };
    const qint64 length = int32At(header, 8 + entityLumpIndex * 8);
    const qint64 offset = int32At(header, 8 + entityLumpIndex * 8 + 4);
    if (length < 0 || offset < headerBytes || offset + length > fileBytes)
        return { std::nullopt, Trouble { Trouble::Kind::EntitiesOutside } };
    if (length > largestEntities)
        return { std::nullopt, Trouble { Trouble::Kind::EntitiesTooLarge, {}, length, largestEntities } };
    return { Lump { offset, length }, std::nullopt };
}

Holds holdsOf(QByteArrayView entities)
{
    // The lump ends with a NUL in real maps; the game reads up to it.
    if (const qsizetype nul = entities.indexOf('\0'); nul >= 0)
        entities.truncate(nul);
    QStringList needed;
    for (const Gametypes::Gametype &gametype : Gametypes::all) {
        for (const Gametypes::Need &need : gametype.needs) {
            if (need.kind == Gametypes::Need::Kind::Spawns && !needed.contains(need.name))
                needed << need.name;
        }
    }
    const QLatin1StringView radio = radiosNeed().name;
    Holds holds;
    GameTextTokens tokens(entities);
    int depth = 0;
    while (const std::optional<GameTextTokens::Token> token = tokens.next()) {
        if (token->text == "{") {
            ++depth;
        } else if (token->text == "}") {
            depth = std::max(depth - 1, 0);
        } else if (depth > 0) {
            const std::optional<GameTextTokens::Token> value = tokens.next();
            if (!value)
                break;
            const QLatin1StringView text(value->text);
            if (token->text == "classname" && needed.contains(text) && !holds.spawns.contains(text))
                holds.spawns << text;
            else if (token->text == "targetname" && text.compare(radio, Qt::CaseInsensitive) == 0)
                ++holds.radios;
        }
    }
    // In the table's order, whatever the map's.
    QStringList ordered;
    for (const QString &name : std::as_const(needed)) {
        if (holds.spawns.contains(name))
            ordered << name;
    }
    holds.spawns = ordered;
    return holds;
}

bool namesRadios(QByteArrayView levelScript)
{
    return QLatin1StringView(levelScript).contains(radiosNeed().name, Qt::CaseInsensitive);
}

bool wantsLevelScript(const Holds &holds)
{
    return holds.radios < radiosNeed().count && !holds.radiosScripted;
}

QList<Gametypes::Need> lacking(const Holds &holds, const Gametypes::Gametype &gametype)
{
    QList<Gametypes::Need> lacks;
    for (const Gametypes::Need &need : gametype.needs) {
        if (!meets(holds, need))
            lacks << need;
    }
    return lacks;
}

QStringList gametypesRun(const Holds &holds)
{
    QStringList runs;
    for (const Gametypes::Gametype &gametype : Gametypes::all) {
        if (lacking(holds, gametype).isEmpty())
            runs << gametype.word.toString();
    }
    return runs;
}

Spawns readSpawns(qint64 fileBytes, const Read &read, const std::function<QString()> &readError,
    const std::function<bool(qint64 to)> &skip)
{
    Spawns spawns;
    auto fail = [&spawns](Trouble trouble) {
        spawns.trouble = std::move(trouble);
        return false;
    };
    // Fills `bytes` whole from the file, or says why not.
    auto fill = [&](char *to, qint64 bytes) {
        qint64 filled = 0;
        while (filled < bytes) {
            const qint64 got = read(to + filled, bytes - filled);
            if (got < 0)
                return fail({ Trouble::Kind::ReadFailed, {}, 0, 0, readError ? readError() : QString() });
            if (got == 0)
                return fail({ Trouble::Kind::EndsEarly });
            filled += got;
            spawns.bytesRead += got;
        }
        return true;
    };
    if (fileBytes < headerBytes) {
        fail({ Trouble::Kind::NotAMap });
        return spawns;
    }
    QByteArray header(headerBytes, Qt::Uninitialized);
    if (!fill(header.data(), headerBytes))
        return spawns;
    const EntityLump found = entityLump(header, fileBytes);
    if (!found.lump) {
        spawns.trouble = found.trouble;
        return spawns;
    }
    if (skip) {
        if (!skip(found.lump->offset)) {
            fail({ Trouble::Kind::ReadFailed, {}, 0, 0, readError ? readError() : QString() });
            return spawns;
        }
    } else {
        // Archived maps can only be read in order: the bytes before the entities are passed over.
        QByteArray passed(std::min<qint64>(found.lump->offset - headerBytes, 256 << 10), Qt::Uninitialized);
        for (qint64 left = found.lump->offset - headerBytes; left > 0;) {
            const qint64 step = std::min<qint64>(left, passed.size());
            if (!fill(passed.data(), step))
                return spawns;
            left -= step;
        }
    }
    QByteArray entities(found.lump->length, Qt::Uninitialized);
    if (!fill(entities.data(), entities.size()))
        return spawns;
    spawns.holds = holdsOf(entities);
    return spawns;
}

} // namespace MapFile
