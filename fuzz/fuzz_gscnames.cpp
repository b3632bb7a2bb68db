// libFuzzer's entry: the bytes as a game script (.gsc) whose names are read,
// whole and again in pieces of every size the first byte picks; both readings
// must agree, and every name must be one a variable could have.

#include "gamefolder/gscnames.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(data, qsizetype(size));
    GscNames whole;
    whole.read(bytes);
    GscNames pieces;
    const qsizetype step = size > 0 ? 1 + data[0] % 17 : 1;
    for (qsizetype at = 0; at < bytes.size(); at += step)
        pieces.read(bytes.sliced(at, std::min(step, bytes.size() - at)));
    if (whole.names() != pieces.names() || whole.cut() != pieces.cut())
        std::abort();
    for (const QByteArray &name : whole.names()) {
        if (name.isEmpty() || name.size() > GscNames::longestName)
            std::abort();
        for (const char c : name) {
            if (!(c == '_' || (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')))
                std::abort();
        }
    }
    return 0;
}
