#pragma once

#include <QStringList>

// What the program's arguments ask for. Everything but the window runs
// without a display, so the arguments are read before any application object
// exists, to choose which one to make.
namespace CommandLine {

enum class Action {
    Window, // the main window, opening `files` (at most one) when given
    Check, // check `files` and print their marks; see ScriptCheck; against `server` too, where named
    Status, // print what the running server at `server` says of itself; see ServerCommands
    Send, // send the settings of `files` (one) to the running server at `server`
    Help,
    Version,
    Usage, // the arguments are wrong: say why and how to call the program
};

struct Request {
    Action action = Action::Window;
    QStringList files = {};
    QString error = {}; // for Usage
    QString gameFolder = {}; // the server's folder whose maps the scripts are checked against
    QString fsGame = {}; // the mod the server runs
    QString server = {}; // HOST[:PORT] of a running server
};

// Reads the arguments as given to main(), the program's name first.
Request read(const QStringList &arguments);

// Whether a window could be shown at all.
bool hasDisplay();

// Does what `request` asks for but the window, writing to stdout and stderr
// (QCommandLineParser itself ends the program after --help and --version);
// returns the exit code. Needs a QCoreApplication, named as main() names it.
int run(const Request &request);

} // namespace CommandLine
