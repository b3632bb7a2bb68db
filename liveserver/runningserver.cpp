#include "liveserver/runningserver.h"

using namespace Qt::StringLiterals;

QString RunningServer::Status::value(QStringView key) const
{
    for (const auto &[name, value] : info) {
        if (name.compare(key, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

RunningServer::RunningServer(const ServerAddress::Address &address, QObject *parent)
    : QObject(parent)
    , m_link(new ServerLink(address, this))
{
}

void RunningServer::setPassword(const QString &password)
{
    m_link->setPassword(password);
}

void RunningServer::cancel()
{
    m_link->cancel();
}

bool RunningServer::answered(const ServerLink::Answer &answer)
{
    switch (answer.outcome) {
    case ServerLink::Outcome::Answered:
        if (const auto refusal = ReplyReader::refusalOf(answer.text)) {
            m_link->cancel();
            Q_EMIT failed(*refusal == ReplyReader::Refusal::BadPassword ? Failure::BadPassword : Failure::NoPassword);
            return false;
        }
        return true;
    case ServerLink::Outcome::TooLong: return true; // the caller knows that command
    case ServerLink::Outcome::Silent: Q_EMIT failed(Failure::Silent); break;
    case ServerLink::Outcome::NotFound: Q_EMIT failed(Failure::NotFound); break;
    case ServerLink::Outcome::TooLarge: Q_EMIT failed(Failure::TooLarge); break;
    }
    m_link->cancel();
    return false;
}

void RunningServer::readStatus(int silenceMs)
{
    ServerLink::Request request { ServerLink::Ask::Status };
    request.patienceMs = silenceMs;
    m_link->ask(request, [this](const ServerLink::Answer &answer) {
        if (answered(answer))
            Q_EMIT statusRead({ answer.status.info, answer.status.players });
    });
}

void RunningServer::readHeld(const QList<HeldValues::Setting> &settings)
{
    readHeldThen(settings, [this](const HeldValues::HeldByName &held) { Q_EMIT heldRead(held); });
}

void RunningServer::readHeldThen(const QList<HeldValues::Setting> &settings, HeldDone done)
{
    QList<HeldValues::Setting> asked;
    for (const HeldValues::Setting &setting : settings) {
        if (!HeldValues::isPassword(setting.name))
            asked.append(setting);
    }
    m_link->ask({ ServerLink::Ask::Command, u"cvarlist"_s, ServerLink::Whole::Listing },
        [this, asked, done](const ServerLink::Answer &answer) {
            if (!answered(answer))
                return;
            const ReplyReader::Listing listing = ReplyReader::listingOf(answer.text);
            if (!listing.complete || listing.byName.isEmpty())
                return askEach(asked, 0, {}, done);
            HeldValues::HeldByName held;
            QList<HeldValues::Setting> latchable;
            for (const HeldValues::Setting &setting : asked) {
                const QString name = setting.name.toLower();
                const auto listed = listing.byName.constFind(name);
                if (listed == listing.byName.cend()) {
                    held.insert(name, { false });
                    continue;
                }
                held.insert(name, { true, listed->value });
                if (listed->value != setting.value && (listed->latches || !listing.flagged))
                    latchable.append(setting);
            }
            askEach(latchable, 0, held, done);
        });
}

void RunningServer::askEach(
    QList<HeldValues::Setting> settings, qsizetype next, HeldValues::HeldByName held, HeldDone done)
{
    if (next == settings.size())
        return done(held);
    const QString name = settings[next].name;
    m_link->ask({ ServerLink::Ask::Command, name, ServerLink::Whole::Variable, name },
        [=, this](const ServerLink::Answer &answer) mutable {
            if (!answered(answer))
                return;
            const std::optional<ReplyReader::Variable> variable = ReplyReader::variableOf(answer.text);
            if (answer.outcome != ServerLink::Outcome::Answered)
                held.remove(name.toLower()); // too long to ask: not known
            else if (variable)
                held.insert(name.toLower(), { true, variable->value, variable->latched });
            else
                held.insert(name.toLower(), { false });
            askEach(std::move(settings), next + 1, std::move(held), std::move(done));
        });
}

QString RunningServer::commandOf(const HeldValues::Setting &setting)
{
    return u"%1 %2 \"%3\""_s.arg(setting.command.toLower(), setting.name, setting.value);
}

void RunningServer::send(const QList<HeldValues::Setting> &settings)
{
    m_sending.clear();
    for (const HeldValues::Setting &setting : settings) {
        if (!HeldValues::isPassword(setting.name))
            m_sending.append(setting);
    }
    m_sent.clear();
    sendFrom(0);
}

void RunningServer::sendFrom(qsizetype next)
{
    if (next == m_sending.size()) {
        QList<HeldValues::Setting> sent;
        for (const Sent &one : std::as_const(m_sent)) {
            if (one.outcome == Outcome::NotTaken)
                sent.append(one.setting);
        }
        readHeldThen(sent, [this](const HeldValues::HeldByName &held) {
            for (Sent &one : m_sent) {
                if (one.outcome != Outcome::NotTaken)
                    continue;
                const HeldValues::Held now = held.value(one.setting.name.toLower(), { false });
                if (now.exists && now.value == one.setting.value)
                    one.outcome = Outcome::Taken;
                else if (now.latched == one.setting.value)
                    one.outcome = Outcome::AtNextMap;
            }
            Q_EMIT sendingDone(m_sent);
        });
        return;
    }
    const HeldValues::Setting setting = m_sending[next];
    auto record = [this, next](Sent sent) {
        m_sent.append(sent);
        Q_EMIT progressed(next + 1, m_sending.size());
        sendFrom(next + 1);
    };
    if (setting.value.contains(u'"'))
        return record({ setting, Outcome::Unquotable });
    m_link->ask(
        { ServerLink::Ask::Command, commandOf(setting) }, [this, setting, record](const ServerLink::Answer &answer) {
            if (!answered(answer))
                return;
            if (answer.outcome == ServerLink::Outcome::TooLong)
                return record({ setting, Outcome::TooLong });
            record({ setting, Outcome::NotTaken, answer.text.trimmed() });
        });
}
