#include "liveserver/replyreader.h"

using namespace Qt::StringLiterals;

namespace ReplyReader {

namespace {

constexpr QByteArrayView marker("\xff\xff\xff\xff", 4);

QList<std::pair<QString, QString>> infoPairs(QStringView info)
{
    QList<std::pair<QString, QString>> pairs;
    if (info.startsWith(u'\\'))
        info = info.sliced(1);
    qsizetype at = 0;
    while (at < info.size() && pairs.size() < mostInfoPairs) {
        qsizetype keyEnd = info.indexOf(u'\\', at);
        if (keyEnd < 0)
            break; // a key without its value: the reply was cut
        qsizetype valueEnd = info.indexOf(u'\\', keyEnd + 1);
        if (valueEnd < 0)
            valueEnd = info.size();
        pairs.append(
            { info.sliced(at, keyEnd - at).toString(), info.sliced(keyEnd + 1, valueEnd - keyEnd - 1).toString() });
        at = valueEnd + 1;
    }
    return pairs;
}

// `score ping "name"`; none for a line that is not one.
std::optional<Player> playerOf(QStringView line)
{
    const qsizetype open = line.indexOf(u'"');
    const qsizetype close = line.lastIndexOf(u'"');
    if (open < 0 || close <= open)
        return std::nullopt;
    const QList<QStringView> numbers = line.first(open).trimmed().split(u' ', Qt::SkipEmptyParts);
    if (numbers.size() != 2)
        return std::nullopt;
    bool scoreRead = false;
    bool pingRead = false;
    Player player { numbers[0].toInt(&scoreRead), numbers[1].toInt(&pingRead),
        line.sliced(open + 1, close - open - 1).toString() };
    if (!scoreRead || !pingRead)
        return std::nullopt;
    return player;
}

// The game ends a value it prints with "^7", back to white.
QString withoutTrailingWhite(QStringView value)
{
    return (value.endsWith(u"^7") ? value.chopped(2) : value).toString();
}

} // namespace

QByteArray packetOf(QByteArrayView line)
{
    return marker.toByteArray() + line.toByteArray();
}

Packet read(QByteArrayView datagram)
{
    Packet packet;
    if (datagram.size() > mostPacketBytes || !datagram.startsWith(marker))
        return packet;
    const QString text = QString::fromLatin1(datagram.sliced(marker.size()));
    const qsizetype headerEnd = text.indexOf(u'\n');
    const QStringView header = QStringView(text).first(headerEnd < 0 ? text.size() : headerEnd);
    const QStringView body = headerEnd < 0 ? QStringView() : QStringView(text).sliced(headerEnd + 1);
    if (header == u"print") {
        packet.kind = Kind::Print;
        packet.text = body.toString();
    } else if (header == u"statusResponse" || header == u"infoResponse") {
        packet.kind = header == u"statusResponse" ? Kind::Status : Kind::Info;
        const qsizetype infoEnd = body.indexOf(u'\n');
        packet.info = infoPairs(infoEnd < 0 ? body : body.first(infoEnd));
        if (packet.kind == Kind::Status && infoEnd >= 0) {
            for (QStringView line : body.sliced(infoEnd + 1).split(u'\n', Qt::SkipEmptyParts)) {
                if (packet.players.size() == mostPlayers)
                    break;
                if (const std::optional<Player> player = playerOf(line))
                    packet.players.append(*player);
            }
        }
    }
    return packet;
}

std::optional<Refusal> refusalOf(QStringView text)
{
    text = text.trimmed();
    if (text.startsWith(u"Bad rconpassword", Qt::CaseInsensitive))
        return Refusal::BadPassword;
    if (text.startsWith(u"No rconpassword set", Qt::CaseInsensitive))
        return Refusal::NoPassword;
    return std::nullopt;
}

// `"name" is:"value^7" default:"value^7"`, or newer servers' `"name" is:"value^7", the default`; a latched
// value on a line of its own: `latched: "value"`.
std::optional<Variable> variableOf(QStringView text)
{
    const QList<QStringView> lines = text.split(u'\n', Qt::SkipEmptyParts);
    if (lines.isEmpty() || !lines[0].startsWith(u'"'))
        return std::nullopt;
    const QStringView first = lines[0];
    const qsizetype nameEnd = first.indexOf(u'"', 1);
    if (nameEnd < 0 || !first.sliced(nameEnd + 1).startsWith(u" is:\""))
        return std::nullopt;
    const qsizetype valueStart = nameEnd + 6;
    // The value ends at the quote before " default:", "," or the line's end; a quote inside it stays.
    qsizetype valueEnd = first.indexOf(u"\" default:\"", valueStart);
    if (valueEnd < 0)
        valueEnd = first.indexOf(u"\",", valueStart);
    if (valueEnd < 0)
        valueEnd = first.endsWith(u'"') && first.size() - 1 >= valueStart ? first.size() - 1 : -1;
    if (valueEnd < 0)
        return std::nullopt;
    Variable variable { first.sliced(1, nameEnd - 1).toString(),
        withoutTrailingWhite(first.sliced(valueStart, valueEnd - valueStart)), std::nullopt };
    for (QStringView line : lines.sliced(1)) {
        line = line.trimmed();
        if (line.startsWith(u"latched: \"") && line.endsWith(u'"') && line.size() >= 11)
            variable.latched = withoutTrailingWhite(line.sliced(10, line.size() - 11));
    }
    return variable;
}

// Each line: flags in columns, the name, a blank, the value in quotes.
Listing listingOf(QStringView text)
{
    Listing listing;
    for (QStringView line : text.split(u'\n', Qt::SkipEmptyParts)) {
        if (line.endsWith(u" total cvars")) {
            listing.complete = true;
            continue;
        }
        const qsizetype open = line.indexOf(u" \"");
        if (open < 0 || !line.endsWith(u'"') || line.size() - 1 <= open + 1)
            continue;
        const QStringView before = line.first(open);
        const qsizetype nameStart = before.lastIndexOf(u' ') + 1;
        const QStringView name = before.sliced(nameStart);
        if (name.isEmpty() || listing.byName.size() == mostListed)
            continue;
        const QStringView flags = before.first(nameStart);
        listing.flagged = listing.flagged || !flags.trimmed().isEmpty();
        listing.byName.insert(name.toString().toLower(),
            { line.sliced(open + 2, line.size() - open - 3).toString(), flags.contains(u'L') });
    }
    return listing;
}

} // namespace ReplyReader
