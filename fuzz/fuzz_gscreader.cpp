// libFuzzer's entry: the bytes as a game script (.gsc), read whole and again
// in pieces of every size the first byte picks; both readings must agree,
// keep no more than a script may, and what they read must follow through to
// the names of a server without fault.

#include "gamefolder/gscflow.h"
#include "gamefolder/gscreader.h"
#include "script/variableuse.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(data, qsizetype(size));
    GscReader whole;
    whole.read(bytes);
    const GscScript script = whole.finish();
    GscReader pieces;
    const qsizetype step = size > 0 ? 1 + data[0] % 17 : 1;
    for (qsizetype at = 0; at < bytes.size(); at += step)
        pieces.read(bytes.sliced(at, std::min(step, bytes.size() - at)));
    if (pieces.finish() != script)
        std::abort();
    // What a script keeps is bounded by what it may keep.
    if (script.cost() > GscReader::mostKept)
        std::abort();
    const GscFlow::Result flow = GscFlow::follow({ { u"maps/mp/fuzz.gsc"_qs, &script } }, 1 << 20);
    const VariableUse use(flow.reads, flow.writes, { u"dm"_qs }, { u"mp_harbor"_qs });
    const auto values = [](const QString &) { return QStringList { u"a b_c"_qs }; };
    for (const QString &name : { u"scr_x"_qs, u"scr_dm_x_mp_harbor"_qs, u"a"_qs, u"b_c12"_qs })
        use.verdict(name, values);
    use.nearName(u"scr_xy"_qs);
    return 0;
}
