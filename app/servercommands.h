#pragma once

#include "app/commandline.h"
#include "app/scriptcheck.h"
#include "liveserver/heldvalues.h"
#include "liveserver/runningserver.h"
#include "liveserver/serveraddress.h"
#include "script/consolereader.h"

#include <QStringList>
#include <QTextStream>

class QCommandLineParser;

// The command line beside a running server: --status, --check with --server,
// and --send. The remote console password comes from the environment or the
// script's own rconpassword, never from an argument, which the process list
// shows to anyone; it is never printed.
namespace ServerCommands {

// The environment variable that holds the remote console password.
inline constexpr char passwordVariable[] = "TALLYFORGE_RCON_PASSWORD";

// The options, named by the command line: --status HOST, --server HOST, --send.
void describe(QCommandLineParser &parser, const QString &status, const QString &server, const QString &send);
// The request they make; none where none of them is given.
std::optional<CommandLine::Request> read(
    const QCommandLineParser &parser, const QString &status, const QString &server, const QString &send);
// Does what a Status or Send request, or a Check request with a server, asks; the exit code.
int run(const CommandLine::Request &request, QTextStream &out, QTextStream &err);
int check(const CommandLine::Request &request, QTextStream &out, QTextStream &err);

// Prints the server's status as a script: `set NAME "VALUE"` for each
// variable, then a "//" line for each player. 0, or 2 when nothing answers.
int status(const ServerAddress::Address &address, QTextStream &out, QTextStream &err);

// ScriptCheck's marks, then one for each setting the server holds otherwise.
int check(const QStringList &files, const ScriptCheck::Server &folders, const ServerAddress::Address &address,
    QTextStream &out, QTextStream &err);

// Sends each setting of `file` that the server holds otherwise, one line per
// command. 0 when all were taken, 1 when some were not, 2 when the server
// refused the password, stayed silent, or the file cannot be read.
int send(const QString &file, const ServerAddress::Address &address, QTextStream &out, QTextStream &err);

// The mark of a setting the server holds otherwise; the editor shows it too.
QString markSentence(const HeldValues::Difference &difference);
// The marks of `line`'s settings that `held` holds otherwise, on their names, as --check gives them; a
// setting that a later line sets again, before anything reads it, is left alone.
void addHeldMarks(ConsoleReader::Reading &reading, QStringView line, const HeldValues::HeldByName &held);
// Why a conversation ended before its answer; over `link`, a silent one names what went unanswered.
QString failureSentence(
    RunningServer::Failure failure, const ServerAddress::Address &address, const ServerLink *link = nullptr);
// One sent command and what came of it.
QString sentSentence(const RunningServer::Sent &sent);

} // namespace ServerCommands
