#include "liveserver/pacer.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr qint64 slowRefill = Pacer::refill + Pacer::frameMargin;

} // namespace

double Pacer::tokensAt(qint64 at) const
{
    if (m_tokensAt < 0)
        return burst;
    return std::min<double>(burst, m_tokens + double(std::max<qint64>(0, at - m_tokensAt)) / slowRefill);
}

qint64 Pacer::nextAt(Packet packet, qint64 now) const
{
    qint64 at = now;
    if (packet == Packet::Command && m_lastCommand >= 0)
        at = std::max(at, m_lastCommand + gameGap + frameMargin);
    if (const double tokens = tokensAt(at); tokens < 1)
        at += qint64(std::ceil((1 - tokens) * slowRefill));
    return at;
}

void Pacer::sent(Packet packet, qint64 at)
{
    m_tokens = std::max(0.0, tokensAt(at) - 1);
    m_tokensAt = at;
    if (packet == Packet::Command)
        m_lastCommand = at;
}

void Pacer::unanswered(qint64 at)
{
    if (m_tokensAt < 0 || at >= m_tokensAt) {
        m_tokens = 0;
        m_tokensAt = at;
    }
}
