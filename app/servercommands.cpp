#include "app/servercommands.h"

#include "script/scriptfile.h"
#include "script/wording.h"

#include <QCommandLineParser>
#include <QEventLoop>

#include <cstdlib>

using namespace Qt::StringLiterals;

namespace ServerCommands {

namespace {

// Patience for a status from the command line: nothing else waits on it.
constexpr int statusPatienceMs = 2500;

// Runs the event loop until `server` ends what `start` began; the failure, if any.
std::optional<RunningServer::Failure> runToEnd(RunningServer &server, const std::function<void()> &start)
{
    QEventLoop loop;
    std::optional<RunningServer::Failure> failure;
    const auto stop = [&loop] { loop.quit(); };
    QObject::connect(&server, &RunningServer::failed, &loop, [&](RunningServer::Failure why) {
        failure = why;
        loop.quit();
    });
    QObject::connect(&server, &RunningServer::statusRead, &loop, stop);
    QObject::connect(&server, &RunningServer::heldRead, &loop, stop);
    QObject::connect(&server, &RunningServer::sendingDone, &loop, stop);
    start();
    loop.exec();
    return failure;
}

std::optional<QString> passwordFor(const QList<HeldValues::Setting> &settings)
{
    if (const QByteArray given = qgetenv(passwordVariable); !given.isEmpty())
        return QString::fromLocal8Bit(given);
    return HeldValues::passwordOf(settings);
}

// A key a script can set; a hostile reply may bring any.
bool settable(const QString &key)
{
    return !key.isEmpty() && std::none_of(key.cbegin(), key.cend(), [](QChar c) {
        return c.unicode() <= u' ' || c == u'"' || c == u';' || c == u'/';
    });
}

} // namespace

void describe(QCommandLineParser &parser, const QString &status, const QString &server, const QString &send)
{
    parser.addOption({ status,
        u"Print what the running server at HOST[:PORT] (port %1 unless given) says of itself: each variable of its "
        "status as a script line, then its players. Needs no display."_s.arg(ServerAddress::defaultPort),
        u"HOST"_s });
    parser.addOption({ server,
        u"With --check, mark each setting the running server at HOST[:PORT] holds otherwise too; with --send, the "
        "server to send to. The remote console password comes from %1, or else from the script's rconpassword, "
        "never from an argument."_s.arg(QString::fromLatin1(passwordVariable)),
        u"HOST"_s });
    parser.addOption({ send,
        u"Send each setting of FILE that the running server named by --server holds otherwise, by its remote "
        "console (which carries the password in clear text)."_s });
}

std::optional<CommandLine::Request> read(
    const QCommandLineParser &parser, const QString &status, const QString &server, const QString &send)
{
    using CommandLine::Action;
    const QStringList files = parser.positionalArguments();
    const bool check = parser.isSet(u"check"_s);
    if (parser.isSet(status)) {
        if (!ServerAddress::read(parser.value(status)))
            return CommandLine::Request { Action::Usage, {}, u"--status needs HOST or HOST:PORT."_s };
        if (!files.isEmpty() || check || parser.isSet(server) || parser.isSet(send))
            return CommandLine::Request { Action::Usage, {}, u"--status takes no FILE and no other option."_s };
        return CommandLine::Request { Action::Status, {}, {}, {}, {}, parser.value(status) };
    }
    if (!parser.isSet(server)) {
        if (parser.isSet(send))
            return CommandLine::Request { Action::Usage, {}, u"--send needs --server HOST."_s };
        return std::nullopt;
    }
    if (!ServerAddress::read(parser.value(server)))
        return CommandLine::Request { Action::Usage, {}, u"--server needs HOST or HOST:PORT."_s };
    if (parser.isSet(send) == check)
        return CommandLine::Request { Action::Usage, {}, u"--server goes with either --check or --send."_s };
    if (parser.isSet(send) && files.size() != 1)
        return CommandLine::Request { Action::Usage, {}, u"--send takes one FILE."_s };
    if (check && files.isEmpty())
        return std::nullopt; // --check says what it needs
    return CommandLine::Request { check ? Action::Check : Action::Send, files, {}, parser.value(u"game-folder"_s),
        parser.value(u"fs-game"_s), parser.value(server) };
}

int run(const CommandLine::Request &request, QTextStream &out, QTextStream &err)
{
    const ServerAddress::Address address = *ServerAddress::read(request.server);
    if (request.action == CommandLine::Action::Status)
        return status(address, out, err);
    return send(request.files.constFirst(), address, out, err);
}

int check(const CommandLine::Request &request, QTextStream &out, QTextStream &err)
{
    return check(request.files, { request.gameFolder, request.fsGame }, *ServerAddress::read(request.server), out, err);
}

QString markSentence(const HeldValues::Difference &difference)
{
    const HeldValues::Setting &setting = difference.setting;
    const HeldValues::Held &held = difference.held;
    if (!held.exists)
        return u"The running server holds no %1; this line sets \"%2\"."_s.arg(
            setting.name, Wording::shortened(setting.value));
    const QString latched
        = held.latched ? u", latched to \"%1\" from the next map"_s.arg(Wording::shortened(*held.latched)) : QString();
    return u"The running server holds %1 \"%2\"%3; this line sets \"%4\"."_s.arg(
        setting.name, Wording::shortened(held.value), latched, Wording::shortened(setting.value));
}

void addHeldMarks(ConsoleReader::Reading &reading, QStringView line, const HeldValues::HeldByName &held)
{
    for (const HeldValues::Setting &setting : HeldValues::finalSettings({ line.toString() })) {
        const auto found = held.constFind(setting.name.toLower());
        if (found == held.cend() || HeldValues::isPassword(setting.name)
            || (found->exists && found->value == setting.value))
            continue;
        const auto name
            = std::find_if(reading.names.cbegin(), reading.names.cend(), [&](const ConsoleReader::Span &span) {
                  return span.start >= setting.column && line.sliced(span.start, span.length) == setting.name;
              });
        if (name == reading.names.cend())
            continue;
        const bool setAgain
            = std::any_of(reading.marks.cbegin(), reading.marks.cend(), [&](const ConsoleReader::Mark &mark) {
                  return mark.problem == ConsoleReader::Problem::SetAgain && mark.span.start < name->end()
                      && mark.span.end() > name->start;
              });
        if (!setAgain)
            reading.marks.append(
                { *name, ConsoleReader::Problem::ServerHoldsOtherwise, markSentence({ setting, *found }) });
    }
}

QString failureSentence(
    RunningServer::Failure failure, const ServerAddress::Address &address, const ServerLink *link)
{
    const QString at = address.shown();
    switch (failure) {
    case RunningServer::Failure::Silent:
        if (!link || link->unanswered().isEmpty())
            return u"Nothing answers at %1."_s.arg(at);
        // Not what the server holds the same: what it holds was not read, or not all of it sent.
        return (link->answeredAny() ? u"The server at %1 stopped answering: %2 went twice, a second apart, "
                                      "unanswered; what it holds was not read in full."_s
                                    : u"Nothing answers at %1: %2 went twice, a second apart, unanswered."_s)
            .arg(at, Wording::shortened(link->unanswered()));
    case RunningServer::Failure::NotFound: return u"No address is known for %1."_s.arg(address.host);
    case RunningServer::Failure::BadPassword:
        return u"The server at %1 refused the password: Bad rconpassword. Nothing more was sent."_s.arg(at);
    case RunningServer::Failure::NoPassword:
        return u"The server at %1 has no remote console: No rconpassword set on the server. Nothing more was sent."_s
            .arg(at);
    case RunningServer::Failure::TooLarge:
        return u"The server at %1 answered with more than one answer can hold; it was not read."_s.arg(at);
    }
    return {};
}

QString sentSentence(const RunningServer::Sent &sent)
{
    const QString command = RunningServer::commandOf(sent.setting);
    const QString said = sent.answer.isEmpty() ? QString() : u" (the server said: %1)"_s.arg(sent.answer.simplified());
    switch (sent.outcome) {
    case RunningServer::Outcome::Taken: return u"%1: taken%2"_s.arg(command, said);
    case RunningServer::Outcome::AtNextMap: return u"%1: takes effect at the next map%2"_s.arg(command, said);
    case RunningServer::Outcome::NotTaken: return u"%1: not taken%2"_s.arg(command, said);
    case RunningServer::Outcome::TooLong:
        return u"%1: not sent: a server reads at most %2 characters of a command"_s.arg(
            command, Wording::thousands(ServerLink::longestLine));
    case RunningServer::Outcome::Unquotable:
        return u"%1: not sent: no command can send a value that holds a quote"_s.arg(command);
    }
    return {};
}

int status(const ServerAddress::Address &address, QTextStream &out, QTextStream &err)
{
    RunningServer server(address);
    RunningServer::Status status;
    QObject::connect(
        &server, &RunningServer::statusRead, &server, [&](const RunningServer::Status &read) { status = read; });
    if (const auto failure = runToEnd(server, [&] { server.readStatus(statusPatienceMs); })) {
        err << u"tallyforge: "_s << failureSentence(*failure, address, server.link()) << Qt::endl;
        return ScriptCheck::Unreadable;
    }
    out << u"// The server at %1 says of itself:\n"_s.arg(address.shown());
    for (const auto &[key, value] : std::as_const(status.info)) {
        if (settable(key) && !value.contains(u'"'))
            out << u"set %1 \"%2\"\n"_s.arg(key, value);
        else
            out << u"// a variable no script can set: %1 \"%2\"\n"_s.arg(key.simplified(), value.simplified());
    }
    out << u"// %1 player%2 (score ping \"name\")\n"_s.arg(status.players.size())
               .arg(status.players.size() == 1 ? QString() : u"s"_s);
    for (const ReplyReader::Player &player : std::as_const(status.players)) {
        out << u"// %1 %2 \"%3\"%4\n"_s.arg(player.score)
                   .arg(player.ping)
                   .arg(player.name, player.ping == 999 ? u" connecting"_s : QString());
    }
    out.flush();
    return EXIT_SUCCESS;
}

int check(const QStringList &files, const ScriptCheck::Server &folders, const ServerAddress::Address &address,
    QTextStream &out, QTextStream &err)
{
    int code = ScriptCheck::run(files, out, err, folders);
    RunningServer server(address);
    RunningServer::Status status;
    QObject::connect(
        &server, &RunningServer::statusRead, &server, [&](const RunningServer::Status &read) { status = read; });
    if (const auto failure = runToEnd(server, [&] { server.readStatus(); })) {
        err << u"tallyforge: "_s << failureSentence(*failure, address, server.link()) << Qt::endl;
        return ScriptCheck::Unreadable;
    }
    for (const QString &file : files) {
        const ScriptFile::Loaded loaded = ScriptFile::load(file);
        if (!loaded.ok())
            continue; // said already
        const QList<HeldValues::Setting> settings = HeldValues::finalSettings(loaded.lines);
        HeldValues::HeldByName held = HeldValues::fromInfo(status.info);
        if (const std::optional<QString> password = passwordFor(settings)) {
            server.setPassword(*password);
            QObject::connect(
                &server, &RunningServer::heldRead, &server,
                [&](const HeldValues::HeldByName &read) { held.insert(read); }, Qt::SingleShotConnection);
            if (const auto failure = runToEnd(server, [&] { server.readHeld(settings); })) {
                err << u"tallyforge: "_s << failureSentence(*failure, address, server.link()) << Qt::endl;
                return ScriptCheck::Unreadable;
            }
        } else {
            err << u"tallyforge: %1: without a remote console password only the variables of the status reply were "
                   "compared; %2 or the script's rconpassword gives one."_s.arg(
                       file, QString::fromLatin1(passwordVariable))
                << Qt::endl;
        }
        const QList<HeldValues::Difference> differences = HeldValues::differences(settings, held);
        for (const HeldValues::Difference &difference : differences) {
            out << file << u':' << difference.setting.line + 1 << u':' << difference.setting.column + 1 << u": "_s
                << markSentence(difference) << u'\n';
        }
        out.flush();
        if (!differences.isEmpty() && code == ScriptCheck::NothingMarked)
            code = ScriptCheck::Marked;
    }
    return code;
}

int send(const QString &file, const ServerAddress::Address &address, QTextStream &out, QTextStream &err)
{
    const ScriptFile::Loaded loaded = ScriptFile::load(file);
    if (!loaded.ok()) {
        err << u"tallyforge: "_s << loaded.error << Qt::endl;
        return ScriptCheck::Unreadable;
    }
    const QList<HeldValues::Setting> settings = HeldValues::finalSettings(loaded.lines);
    const std::optional<QString> password = passwordFor(settings);
    if (!password) {
        err << u"tallyforge: %1 sets no rconpassword and %2 is not set: nothing was sent."_s.arg(
            file, QString::fromLatin1(passwordVariable))
            << Qt::endl;
        return ScriptCheck::Unreadable;
    }
    RunningServer server(address);
    server.setPassword(*password);
    HeldValues::HeldByName held;
    QObject::connect(
        &server, &RunningServer::heldRead, &server, [&](const HeldValues::HeldByName &read) { held = read; });
    QList<RunningServer::Sent> sent;
    QObject::connect(
        &server, &RunningServer::sendingDone, &server, [&](const QList<RunningServer::Sent> &done) { sent = done; });
    std::optional<RunningServer::Failure> failure = runToEnd(server, [&] { server.readHeld(settings); });
    QList<HeldValues::Setting> changes;
    for (const HeldValues::Difference &difference : HeldValues::differences(settings, held)) {
        if (difference.held.latched != difference.setting.value)
            changes.append(difference.setting);
    }
    if (!failure && changes.isEmpty()) {
        out << u"// The server at %1 holds every setting of %2 already.\n"_s.arg(address.shown(), file);
        return EXIT_SUCCESS;
    }
    if (!failure)
        failure = runToEnd(server, [&] { server.send(changes); });
    if (failure) {
        err << u"tallyforge: "_s << failureSentence(*failure, address, server.link()) << Qt::endl;
        return ScriptCheck::Unreadable;
    }
    bool allTaken = true;
    for (const RunningServer::Sent &one : std::as_const(sent)) {
        out << sentSentence(one) << u'\n';
        allTaken = allTaken
            && (one.outcome == RunningServer::Outcome::Taken || one.outcome == RunningServer::Outcome::AtNextMap);
    }
    out.flush();
    return allTaken ? EXIT_SUCCESS : EXIT_FAILURE;
}

} // namespace ServerCommands
