// libFuzzer's entry: the bytes as a packet a running server sent, read as a status, an info or a
// remote console reply, and its text read as a variable's answer, a refusal and a cvarlist listing.

#include "liveserver/replyreader.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const ReplyReader::Packet packet = ReplyReader::read(bytes);
    if (packet.info.size() > ReplyReader::mostInfoPairs || packet.players.size() > ReplyReader::mostPlayers)
        __builtin_trap();
    // The text as a print, whatever the packet was.
    const QString text = packet.kind == ReplyReader::Kind::Print ? packet.text : QString::fromLatin1(bytes);
    ReplyReader::variableOf(text);
    ReplyReader::refusalOf(text);
    if (ReplyReader::listingOf(text).byName.size() > ReplyReader::mostListed)
        __builtin_trap();
    return 0;
}
