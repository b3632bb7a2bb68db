#pragma once

#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>
#include <utility>

// Reads the packets a running server answers with, and the texts its remote
// console prints, without any socket: a packet is a stranger's bytes, so
// every count is capped and nothing in it is trusted. Text is Latin-1, the
// game's own, so any byte reads as some character.
namespace ReplyReader {

// What one datagram can carry; a larger one is not read at all.
inline constexpr qsizetype mostPacketBytes = 65'507;
// A status reply's info string holds at most 1,024 bytes in the game; a hostile one holds what fits.
inline constexpr qsizetype mostInfoPairs = 512;
inline constexpr qsizetype mostPlayers = 256;

enum class Kind {
    Status, // getstatus's answer: info string and players
    Info, // getinfo's answer: a shorter info string
    Print, // the remote console's answer: text
    Other, // anything else, or a packet without the four 0xFF bytes
};

struct Player {
    int score = 0;
    int ping = 0; // 999 while connecting
    QString name; // with its colour codes
};

struct Packet {
    Kind kind = Kind::Other;
    QList<std::pair<QString, QString>> info = {}; // in the packet's order
    QList<Player> players = {};
    QString text = {};
};

Packet read(QByteArrayView datagram);

// The connectionless packet that carries `line`: four 0xFF bytes, then the line.
QByteArray packetOf(QByteArrayView line);

// The remote console refused the command: it ran nothing.
enum class Refusal { BadPassword, NoPassword };
std::optional<Refusal> refusalOf(QStringView text);

// The answer to a variable asked by name.
struct Variable {
    QString name;
    QString value;
    std::optional<QString> latched; // what it becomes at the next map
};
std::optional<Variable> variableOf(QStringView text);

// The answer to cvarlist: each variable's value by lower-case name, and
// whether it can be latched (an L among its flags). Complete once its count
// line ("N total cvars") came; `flagged` once a line showed flags at all.
struct Listed {
    QString value;
    bool latches = false;
};
struct Listing {
    QHash<QString, Listed> byName;
    bool complete = false;
    bool flagged = false;
};
inline constexpr qsizetype mostListed = 16'384;
Listing listingOf(QStringView text);

} // namespace ReplyReader
