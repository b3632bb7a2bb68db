#include "liveserver/serverlink.h"

#include <QHostInfo>
#include <QNetworkDatagram>
#include <QUdpSocket>

using namespace Qt::StringLiterals;

namespace {

// Datagrams read at one go; a flood waits for the next turn of the event loop, which stays free.
constexpr int datagramsPerTurn = 256;

bool sameHost(const QHostAddress &a, const QHostAddress &b)
{
    return a.isEqual(b, QHostAddress::ConvertV4MappedToIPv4);
}

// The console's tokenizer keeps a quoted word whole.
QString wordOf(const QString &text)
{
    return text.contains(u' ') || text.isEmpty() ? u'"' + text + u'"' : text;
}

} // namespace

ServerLink::ServerLink(const ServerAddress::Address &address, QObject *parent)
    : QObject(parent)
    , m_address(address)
    , m_socket(new QUdpSocket(this))
    , m_sendTimer(new QTimer(this))
    , m_silenceTimer(new QTimer(this))
    , m_pauseTimer(new QTimer(this))
{
    m_socket->setObjectName(u"serverSocket"_s);
    for (QTimer *timer : { m_sendTimer, m_silenceTimer, m_pauseTimer })
        timer->setSingleShot(true);
    m_pauseTimer->setInterval(pauseMs);
    connect(m_sendTimer, &QTimer::timeout, this, &ServerLink::send);
    connect(m_silenceTimer, &QTimer::timeout, this, &ServerLink::silent);
    connect(m_pauseTimer, &QTimer::timeout, this, [this] {
        if (m_current)
            finish({ Outcome::Answered, {}, m_current->text });
    });
    connect(m_socket, &QUdpSocket::readyRead, this, &ServerLink::readPending);
    m_clock.start();
    if (const QHostAddress literal(address.host); !literal.isNull()) {
        resolved({ literal });
    } else {
        m_lookup = QHostInfo::lookupHost(address.host, this, [this](const QHostInfo &info) {
            m_lookup = -1;
            resolved(info.error() == QHostInfo::NoError ? info.addresses() : QList<QHostAddress>());
        });
    }
}

ServerLink::~ServerLink()
{
    if (m_lookup >= 0)
        QHostInfo::abortHostLookup(m_lookup);
}

void ServerLink::resolved(const QList<QHostAddress> &addresses)
{
    m_resolving = false;
    // An IPv4 address first: game servers listen there.
    auto found = std::find_if(addresses.cbegin(), addresses.cend(),
        [](const QHostAddress &a) { return a.protocol() == QAbstractSocket::IPv4Protocol; });
    if (found == addresses.cend())
        found = addresses.cbegin();
    if (found == addresses.cend()) {
        m_notFound = true;
    } else {
        m_target = *found;
        const bool v4 = m_target.protocol() == QAbstractSocket::IPv4Protocol;
        m_notFound = !m_socket->bind(v4 ? QHostAddress(QHostAddress::AnyIPv4) : QHostAddress(QHostAddress::AnyIPv6), 0);
    }
    pump();
}

QByteArray ServerLink::lineOf(const Request &request) const
{
    if (request.ask == Ask::Status)
        return "getstatus";
    return (u"rcon "_s + wordOf(m_password) + u' ' + request.command).toLatin1();
}

bool ServerLink::fits(const QString &command) const
{
    return lineOf({ Ask::Command, command }).size() <= longestLine;
}

void ServerLink::ask(const Request &request, Done done)
{
    m_queue.push_back({ request, std::move(done) });
    // From the event loop: asked from an answer's `done`, it must not go while that answer's packets are read.
    QTimer::singleShot(0, this, &ServerLink::pump);
}

void ServerLink::cancel()
{
    m_queue.clear();
    m_current.reset();
    for (QTimer *timer : { m_sendTimer, m_silenceTimer, m_pauseTimer })
        timer->stop();
}

void ServerLink::pump()
{
    if (m_resolving || m_current || m_queue.empty())
        return;
    m_current = std::move(m_queue.front());
    m_queue.pop_front();
    if (m_notFound)
        return finish({ Outcome::NotFound });
    if (m_current->request.ask == Ask::Command && !fits(m_current->request.command))
        return finish({ Outcome::TooLong });
    send();
}

void ServerLink::send()
{
    if (!m_current)
        return;
    const Pacer::Packet kind = m_current->request.ask == Ask::Status ? Pacer::Packet::Status : Pacer::Packet::Command;
    const qint64 now = m_clock.elapsed();
    if (const qint64 at = m_pacer.nextAt(kind, now); at > now) {
        m_sendTimer->start(int(at - now));
        return;
    }
    m_pacer.sent(kind, now);
    m_current->sentAt = now;
    ++m_current->attempts;
    ++m_packetsSent;
    m_socket->writeDatagram(ReplyReader::packetOf(lineOf(m_current->request)), m_target, m_address.port);
    m_silenceTimer->start(m_current->request.patienceMs);
}

void ServerLink::silent()
{
    if (!m_current)
        return;
    // A listing that began and then stopped is as whole as it will get.
    if (m_current->packets > 0)
        return finish({ Outcome::Answered, {}, m_current->text });
    // Dropped, most likely, by the newer servers' count for this address, which another run or tool may have
    // emptied: pacing from then on, the retry goes once the count holds a packet again.
    m_pacer.unanswered(m_current->sentAt);
    if (m_current->attempts < 2) {
        ++m_packetsResent;
        return send();
    }
    const Request &request = m_current->request;
    m_unanswered = request.ask == Ask::Status ? u"getstatus"_s : u"rcon "_s + request.command;
    finish({ Outcome::Silent });
}

void ServerLink::readPending()
{
    for (int read = 0; read < datagramsPerTurn; ++read) {
        if (!m_socket->hasPendingDatagrams())
            return;
        const QNetworkDatagram datagram = m_socket->receiveDatagram(ReplyReader::mostPacketBytes + 1);
        if (!m_current || m_current->attempts == 0 || datagram.senderPort() != m_address.port
            || !sameHost(datagram.senderAddress(), m_target))
            continue;
        take(ReplyReader::read(datagram.data()), datagram.data().size());
    }
    if (m_socket->hasPendingDatagrams())
        QTimer::singleShot(0, this, &ServerLink::readPending);
}

// A packet from the server while a request waits: its answer, part of it, or something late.
void ServerLink::take(const ReplyReader::Packet &packet, qsizetype bytes)
{
    const Request &request = m_current->request;
    if (request.ask == Ask::Status) {
        if (packet.kind == ReplyReader::Kind::Status)
            finish({ Outcome::Answered, packet });
        return;
    }
    if (packet.kind != ReplyReader::Kind::Print)
        return;
    switch (request.whole) {
    case Whole::FirstPrint: return finish({ Outcome::Answered, {}, packet.text });
    case Whole::Variable:
        // Its answer starts by naming it; a newer server cuts a long one into packets of 1,008 bytes, and a latched
        // value may follow in a packet of its own, so the rest is what comes before a pause. Anything else that
        // names it (an unknown command) is the whole answer.
        if (m_current->packets == 0
            && !packet.text.startsWith(u'"' + request.variable + u"\" is:"_s, Qt::CaseInsensitive)) {
            if (packet.text.contains(request.variable, Qt::CaseInsensitive) || ReplyReader::refusalOf(packet.text))
                finish({ Outcome::Answered, {}, packet.text });
            return;
        }
        break;
    case Whole::Listing:
        if (m_current->packets == 0 && (packet.text.isEmpty() || ReplyReader::refusalOf(packet.text))) {
            if (!packet.text.isEmpty())
                finish({ Outcome::Answered, {}, packet.text });
            return; // an empty print is what a command before answered
        }
        break;
    }
    m_current->text += packet.text;
    m_current->bytes += bytes;
    if (++m_current->packets > mostAnswerPackets || m_current->bytes > mostAnswerBytes)
        return finish({ Outcome::TooLarge });
    if (request.whole == Whole::Listing && packet.text.contains(u" total cvars"_s))
        return finish({ Outcome::Answered, {}, m_current->text });
    m_silenceTimer->stop();
    m_pauseTimer->start();
}

void ServerLink::finish(Answer answer)
{
    m_answeredAny = m_answeredAny || answer.outcome == Outcome::Answered;
    for (QTimer *timer : { m_sendTimer, m_silenceTimer, m_pauseTimer })
        timer->stop();
    const Done done = std::move(m_current->done);
    m_current.reset();
    // The next request goes first: `done` may ask more, or cancel.
    QTimer::singleShot(0, this, &ServerLink::pump);
    done(answer);
}
