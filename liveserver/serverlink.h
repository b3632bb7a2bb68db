#pragma once

#include "liveserver/pacer.h"
#include "liveserver/replyreader.h"
#include "liveserver/serveraddress.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QTimer>

#include <deque>
#include <functional>

class QUdpSocket;

// One conversation with a running server over UDP, a packet at a time:
// each request waits for its answer, and only then does the next go, paced
// (see Pacer) so that no server drops it. A request not answered within a
// second is sent once more, once the newer servers' count would take it even
// if someone else emptied it, then given up. Replies carry no sequence number,
// so what comes from another address, what comes while nothing is asked, and
// a print that does not answer what was asked, are dropped unread. Nothing
// here blocks: answers arrive through the event loop.
class ServerLink : public QObject {
    Q_OBJECT

public:
    static constexpr int silenceMs = 1000;
    // After the last packet of an answer that may come in several: shorter than the pacer's gap, so it costs nothing.
    static constexpr int pauseMs = 300;

    enum class Ask {
        Status, // getstatus
        Command, // one remote console command
    };
    // How the answer to a command is known to be whole.
    enum class Whole {
        FirstPrint, // its first print packet
        Variable, // the prints that answer for the variable asked, up to a pause; or a refusal
        Listing, // print packets up to cvarlist's count line, or a pause after the last
    };
    struct Request {
        Ask ask = Ask::Status;
        QString command = {}; // without "rcon" and the password
        Whole whole = Whole::FirstPrint;
        QString variable = {}; // for Whole::Variable
        int patienceMs = ServerLink::silenceMs; // before it is sent again, then given up
    };

    enum class Outcome {
        Answered,
        Silent, // nothing came, twice
        NotFound, // the host's name leads to no address
        TooLong, // the command is longer than the server reads: not sent
        TooLarge, // the answer ran past what is kept of one
    };
    struct Answer {
        Outcome outcome = Outcome::Silent;
        ReplyReader::Packet status = {}; // for Ask::Status
        QString text = {}; // for Ask::Command: the prints, in their order
    };
    using Done = std::function<void(const Answer &)>;

    // The longest line a server reads from a packet; a longer command is dropped whole, or cut.
    static constexpr qsizetype longestLine = 1023;
    // What one answer may bring before it is given up: a flood holds no answer.
    static constexpr qsizetype mostAnswerBytes = 1 << 20;
    static constexpr int mostAnswerPackets = 1024;

    explicit ServerLink(const ServerAddress::Address &address, QObject *parent = nullptr);
    ~ServerLink() override;

    // The remote console password; kept here only, never shown.
    void setPassword(const QString &password) { m_password = password; }
    // Whether the command would reach the server whole, the password included.
    bool fits(const QString &command) const;

    // `done` is called once, from the event loop, unless cancel() comes first.
    void ask(const Request &request, Done done);
    // Forgets every request; their `done` is never called.
    void cancel();

    // Packets sent, and those among them sent again after a silent second; for the bench and the tests.
    int packetsSent() const { return m_packetsSent; }
    int packetsResent() const { return m_packetsResent; }
    // What the last request given up as silent asked, without the password: for the sentence that says so.
    QString unanswered() const { return m_unanswered; }
    // Whether any request had an answer: a server that answered and then fell silent is not a silent address.
    bool answeredAny() const { return m_answeredAny; }

private:
    struct Pending {
        Request request;
        Done done;
        int attempts = 0;
        qint64 sentAt = -1;
        int packets = 0;
        qsizetype bytes = 0;
        QString text = {};
    };

    void resolved(const QList<QHostAddress> &addresses);
    void pump();
    void send();
    void readPending();
    void take(const ReplyReader::Packet &packet, qsizetype bytes);
    void silent();
    void finish(Answer answer);
    QByteArray lineOf(const Request &request) const;

    const ServerAddress::Address m_address;
    QUdpSocket *const m_socket;
    QTimer *const m_sendTimer; // until the pacer lets the next packet go
    QTimer *const m_silenceTimer; // until an unanswered packet is sent again or given up
    QTimer *const m_pauseTimer; // until a listing that stopped coming counts as whole
    QElapsedTimer m_clock;
    Pacer m_pacer;
    QHostAddress m_target;
    bool m_resolving = true;
    bool m_notFound = false;
    int m_lookup = -1;
    QString m_password;
    std::deque<Pending> m_queue;
    std::optional<Pending> m_current;
    int m_packetsSent = 0;
    int m_packetsResent = 0;
    QString m_unanswered;
    bool m_answeredAny = false;
};
