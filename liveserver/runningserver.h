#pragma once

#include "liveserver/heldvalues.h"
#include "liveserver/replyreader.h"
#include "liveserver/serveraddress.h"
#include "liveserver/serverlink.h"

#include <QObject>

// What a running server says of itself, what it holds of a script's
// variables, and sending it the script's settings: the conversations the
// command line and the window have with it, over one ServerLink. Each ends
// in one signal, its result or failed(); nothing blocks.
//
// Reading asks the remote console for cvarlist, whose answer holds every
// variable at once, then asks by name only for each variable the server
// holds otherwise and may hold latched, whose latched value only that answer
// shows. A server whose cvarlist gives no whole listing is asked for each
// variable by name.
class RunningServer : public QObject {
    Q_OBJECT

public:
    enum class Failure {
        Silent, // nothing answered within two seconds
        NotFound, // the host's name leads to no address
        BadPassword,
        NoPassword, // the server has none set
        TooLarge, // an answer ran past what is kept of one
    };

    struct Status {
        QList<std::pair<QString, QString>> info;
        QList<ReplyReader::Player> players;
        // The value of `key` in the info, whatever its letter case; empty where there is none.
        QString value(QStringView key) const;
    };

    enum class Outcome {
        Taken, // the server holds the value now
        AtNextMap, // the server took it latched: it holds it from the next map
        NotTaken, // the server holds another value after all; `answer` may say why
        TooLong, // the command is longer than the server reads: not sent
        Unquotable, // the value holds a quote, which no command can send: not sent
    };
    struct Sent {
        HeldValues::Setting setting;
        Outcome outcome = Outcome::NotTaken;
        QString answer = {}; // what the server printed to the command
    };

    explicit RunningServer(const ServerAddress::Address &address, QObject *parent = nullptr);

    void setPassword(const QString &password);

    // Status from the command line waits longer: nothing else waits on it.
    void readStatus(int silenceMs = ServerLink::silenceMs);
    // What the server holds of each setting's variable, by rcon: heldRead() with every one but the password.
    void readHeld(const QList<HeldValues::Setting> &settings);
    // Sets each of `settings` on the server with the command the script uses; progressed() after each, then
    // sendingDone() once the server was asked what it holds now, which decides each outcome. A refused
    // password sends nothing more.
    void send(const QList<HeldValues::Setting> &settings);
    // Stops what runs: no signal comes of it.
    void cancel();

    // The command that sends `setting`.
    static QString commandOf(const HeldValues::Setting &setting);
    ServerLink *link() const { return m_link; }

Q_SIGNALS:
    void statusRead(const RunningServer::Status &status);
    void heldRead(const HeldValues::HeldByName &held);
    void progressed(qsizetype sent, qsizetype total);
    void sendingDone(const QList<RunningServer::Sent> &sent);
    void failed(RunningServer::Failure failure);

private:
    using HeldDone = std::function<void(const HeldValues::HeldByName &)>;
    void readHeldThen(const QList<HeldValues::Setting> &settings, HeldDone done);
    void askEach(QList<HeldValues::Setting> settings, qsizetype next, HeldValues::HeldByName held, HeldDone done);
    void sendFrom(qsizetype next);
    // False, after failed(), where the answer is no answer.
    bool answered(const ServerLink::Answer &answer);

    ServerLink *const m_link;
    QList<HeldValues::Setting> m_sending;
    QList<Sent> m_sent;
};
