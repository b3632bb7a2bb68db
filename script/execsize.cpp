#include "script/execsize.h"

#include "script/linebreaks.h"
#include "script/wording.h"

using namespace Qt::StringLiterals;

namespace ExecSize {

namespace {

// The length of the line break at `i` in characters (0 for none), and the bytes of what starts there.
std::pair<qsizetype, qsizetype> unitAt(QStringView text, qsizetype i, Breaks breaks)
{
    const qsizetype length = LineBreaks::breakLength(text, i);
    if (length == 0)
        return { 0, 1 };
    return { length, breaks == Breaks::Saved ? 2 : length };
}

struct Past {
    qsizetype character = -1; // the first past the limit that is not a line break
    qsizetype lineBreak = -1; // the first that reaches past it
};

Past pastOf(QStringView text, Breaks breaks, qsizetype limit, qsizetype bytesBefore)
{
    Past past;
    qsizetype bytes = bytesBefore;
    for (qsizetype i = 0; i < text.size();) {
        const auto [length, width] = unitAt(text, i, breaks);
        if (length == 0 && bytes >= limit) {
            past.character = i;
            break;
        }
        bytes += width;
        if (length > 0 && bytes > limit && past.lineBreak < 0)
            past.lineBreak = i;
        i += std::max<qsizetype>(length, 1);
    }
    return past;
}

} // namespace

qsizetype Size::limitFor(qsizetype bytes)
{
    if (bytes > largestBytes)
        return largestBytes;
    return bytes > largestBeforeMapRotate ? largestBeforeMapRotate : -1;
}

QString Size::sentence() const
{
    if (bytes > largestBytes) {
        return u"The game's exec runs none of this script: it is %1 bytes, and exec takes %2 less what follows +exec."_s
            .arg(Wording::thousands(bytes), Wording::thousands(largestBytes));
    }
    if (bytes > largestBeforeMapRotate) {
        return u"A +map_rotate after +exec leaves no room for this script: it is %1 bytes, and exec then takes %2."_s
            .arg(Wording::thousands(bytes), Wording::thousands(largestBeforeMapRotate));
    }
    return {};
}

qsizetype bytesOf(QStringView text, Breaks breaks)
{
    qsizetype bytes = 0;
    for (qsizetype i = 0; i < text.size();) {
        const auto [length, width] = unitAt(text, i, breaks);
        bytes += width;
        i += std::max<qsizetype>(length, 1);
    }
    return bytes;
}

qsizetype firstPast(QStringView text, Breaks breaks, qsizetype limit, qsizetype bytesBefore)
{
    return pastOf(text, breaks, limit, bytesBefore).character;
}

Size measure(QStringView text, Breaks breaks)
{
    Size size { bytesOf(text, breaks) };
    if (!size.fits()) {
        const Past past = pastOf(text, breaks, size.limit(), 0);
        size.firstPast = past.character >= 0 ? past.character : past.lineBreak;
    }
    return size;
}

} // namespace ExecSize
