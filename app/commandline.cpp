#include "app/commandline.h"

#include "app/scriptcheck.h"
#include "app/servercommands.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>
#include <cstdlib>

using namespace Qt::StringLiterals;

namespace CommandLine {

namespace {

const QString checkOption = u"check"_s;
const QString gameFolderOption = u"game-folder"_s;
const QString fsGameOption = u"fs-game"_s;
const QString statusOption = u"status"_s;
const QString serverOption = u"server"_s;
const QString sendOption = u"send"_s;

void describe(QCommandLineParser &parser)
{
    parser.setApplicationDescription(
        u"Writes the script of a Bravenmark dedicated server from the settings on its pages.\n"
        "With --check, reads each FILE as the game's console does and prints each place the game would read "
        "otherwise than it looks, as FILE:LINE:COLUMN: sentence. Exits with 0 when nothing is marked, 1 when "
        "something is, 2 when a file cannot be read and 3 when the arguments are wrong."_s);
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({ checkOption, u"Check each FILE instead of opening the window; needs no display."_s });
    parser.addOption({ gameFolderOption,
        u"Check each FILE on the server of the game folder DIR instead of the folder it is in: its maps and their "
        "spawn points, the scripts its execs run, the gametypes the mods add, and whether anything reads the "
        "variables it sets. A folder that holds main/ stands for main/."_s,
        u"DIR"_s });
    parser.addOption({ fsGameOption,
        u"The server runs the mod NAME (+set fs_game NAME): check the maps against the folder NAME beside the "
        "game folder first."_s,
        u"NAME"_s });
    ServerCommands::describe(parser, statusOption, serverOption, sendOption);
    parser.addPositionalArgument(
        u"FILE"_s, u"The script to open in the window, or with --check the scripts to check."_s, u"[FILE...]"_s);
}

// Qt's help names the program by the path it was started by; the usage names it as it is installed.
QString helpText(const QCommandLineParser &parser)
{
    QString text = parser.helpText();
    const QString usage = u"Usage: "_s;
    const QString startedBy = QCoreApplication::arguments().value(0);
    if (!startedBy.isEmpty() && text.startsWith(usage + startedBy + u' '))
        text.replace(usage.size(), startedBy.size(), QCoreApplication::applicationName());
    return text;
}

} // namespace

Request read(const QStringList &arguments)
{
    QCommandLineParser parser;
    describe(parser);
    if (!parser.parse(arguments))
        return { Action::Usage, {}, parser.errorText() };
    if (parser.isSet(u"help"_s) || parser.isSet(u"help-all"_s))
        return { Action::Help };
    if (parser.isSet(u"version"_s))
        return { Action::Version };
    const QStringList files = parser.positionalArguments();
    const QString gameFolder = parser.value(gameFolderOption);
    if (parser.isSet(gameFolderOption) && !QFileInfo(gameFolder).isDir())
        return { Action::Usage, {}, u"--game-folder needs a folder; %1 is none."_s.arg(gameFolder) };
    const QString fsGame = parser.value(fsGameOption);
    if (parser.isSet(fsGameOption)
        && (fsGame.isEmpty() || fsGame.contains(u'/') || fsGame.contains(u'\\') || fsGame == u"."_s
            || fsGame == u".."_s))
        return { Action::Usage, {}, u"--fs-game needs the name of a folder beside the game folder, such as mymod."_s };
    if (const std::optional<Request> server = ServerCommands::read(parser, statusOption, serverOption, sendOption))
        return *server;
    if (parser.isSet(checkOption)) {
        if (files.isEmpty())
            return { Action::Usage, {}, u"--check needs at least one FILE."_s };
        return { Action::Check, files, {}, gameFolder, fsGame };
    }
    for (const QString &option : { gameFolderOption, fsGameOption }) {
        if (parser.isSet(option))
            return { Action::Usage, {}, u"--%1 goes with --check."_s.arg(option) };
    }
    if (files.size() > 1)
        return { Action::Usage, {}, u"The window opens one FILE at a time; --check takes several."_s };
    return { Action::Window, files };
}

bool hasDisplay()
{
    return std::getenv("QT_QPA_PLATFORM") || std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
}

int run(const Request &request)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    QCommandLineParser parser;
    describe(parser);
    switch (request.action) {
    case Action::Check:
        if (!request.server.isEmpty())
            return ServerCommands::check(request, out, err);
        return ScriptCheck::run(request.files, out, err, { request.gameFolder, request.fsGame });
    case Action::Status:
    case Action::Send: return ServerCommands::run(request, out, err);
    case Action::Help:
        // --help-all lists Qt's own options too, which only Qt's help knows.
        if (parser.parse(QCoreApplication::arguments()) && !parser.isSet(u"help-all"_s)) {
            out << helpText(parser);
            return EXIT_SUCCESS;
        }
        [[fallthrough]];
    case Action::Version:
        parser.process(QCoreApplication::arguments()); // prints them and ends the program
        return EXIT_SUCCESS;
    case Action::Usage:
    case Action::Window: break;
    }
    err << QCoreApplication::applicationName() << u": "_s << request.error << u"\n\n"_s << helpText(parser);
    return ScriptCheck::BadUsage;
}

} // namespace CommandLine
