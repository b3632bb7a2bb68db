#pragma once

#include <QtGlobal>

// When the next packet to a server may go, so that no limit of the server
// drops it: the game drops a remote console packet that comes within 500 ms
// of the one before it, from anyone; the engine family's newer servers take
// 10 packets at once from an address, then one a second, status queries
// counted. A server reads its packets once a frame, so what it sees as a gap
// may be a frame shorter than the gap sent: the pacer keeps a frame's margin
// on both rules. Times are in milliseconds on any steady clock.
class Pacer {
public:
    static constexpr qint64 gameGap = 500;
    static constexpr qint64 frameMargin = 100; // a frame at 10 a second, the slowest a server plausibly runs
    static constexpr int burst = 10;
    static constexpr qint64 refill = 1000; // one packet more each second

    enum class Packet { Status, Command };

    // The earliest time `packet` may go, `now` or later.
    qint64 nextAt(Packet packet, qint64 now) const;
    void sent(Packet packet, qint64 at);
    // A packet sent at `at` went unanswered: the newer servers' count for this address may have been empty
    // then, filled by someone else (another run of this program, another tool), so nothing goes until it
    // holds one packet again, and then one a second until it fills.
    void unanswered(qint64 at);

private:
    // Packets the newer servers would still take at once, at `at`.
    double tokensAt(qint64 at) const;

    qint64 m_lastCommand = -1;
    double m_tokens = burst;
    qint64 m_tokensAt = -1;
};
