#pragma once

#include <QStringList>
#include <QTextStream>

// `tallyforge --check`: reads scripts as Open does and each line as the
// game's console does, and prints every mark the editor would show the way
// compilers print theirs, for servers without a desktop and scripts kept in
// version control.
namespace ScriptCheck {

// The exit codes linters use: 1 already means "marked", so a bad command line is 3.
enum ExitCode : int {
    NothingMarked = 0,
    Marked = 1,
    Unreadable = 2, // a file, or the game folder's archives; the other files are still checked
    BadUsage = 3,
};

// Where the maps are checked: the game folder named (--game-folder), and
// the mod the server runs (--fs-game). See GameFolder::foldersFor.
struct Server {
    QString gameFolder = {};
    QString fsGame = {};
};

// Checks `files` in order: each mark as "FILE:LINE:COLUMN: sentence" on `out`
// (LINE and COLUMN from 1, COLUMN in characters), each file that cannot be
// read on `err`. The maps are checked against the folders
// GameFolder::foldersFor gives; `err` says which folders were read, how many
// maps they hold and what in them could not be read, and where maps were
// left unchecked for want of a folder.
ExitCode run(const QStringList &files, QTextStream &out, QTextStream &err, const Server &server = {});

} // namespace ScriptCheck
