// libFuzzer's entry: the bytes as a game archive (whose maps and arena files
// are then read as the folder reader reads them), as a map file and as an
// arena file.

#include "gamefolder/arenafile.h"
#include "gamefolder/gamearchive.h"
#include "gamefolder/mapfile.h"

#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(data, qsizetype(size));
    GameArchive::read(bytes, GameArchive::Detail::Spawns);
    qsizetype at = 0;
    MapFile::readSpawns(bytes.size(), [&](char *to, qint64 n) {
        n = std::min<qint64>(n, bytes.size() - at);
        std::memcpy(to, bytes.data() + at, size_t(n));
        at += n;
        return n;
    });
    ArenaFile::read(bytes);
    return 0;
}
