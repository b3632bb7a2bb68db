#pragma once

#include "gamefolder/gamearchive.h"
#include "gamefolder/mapfile.h"
#include "gamefolder/searchorder.h"
#include "gamefolder/trouble.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QThreadPool;
class ServerScripts;

// The maps a server has, read from the folders it searches (see
// SearchOrder): its game folder, on real servers "main", and before it the
// mod folder it runs, if any. In each, the maps in its .pk3 archives, with
// names compared as SearchOrder::nameKey compares them, then the loose files
// under maps/mp/, which the server opens by their exact name: where the file
// system tells letter cases apart, their case counts. While the folders hold
// none of the game's own archives (SearchOrder::isGameArchive), the game's
// stock maps are taken as there, in place of those archives. Reading never
// changes a folder; an archive read once is remembered, by its path, size and
// modification time, until the program ends.
namespace GameFolder {

using GameArchive::Detail;

// The folders a server searches, as far as a script's checker can tell.
struct Folders {
    QString game; // "main"
    QString mod = {}; // the one fs_game names, searched first; none when empty
    QString language = SearchOrder::defaultLanguage.toString(); // whose localized archives count

    friend bool operator==(const Folders &, const Folders &) = default;
};

// Which folders a script at `script` is checked against, the same in the
// window and in --check: `chosen` (File > Game Folder..., --game-folder) when
// given, else the script's own folder when it is a game folder or a mod
// folder, else none. A folder with a folder named main beside it is a mod
// folder, searched before that main; `fsGame`, as the server's command line
// sets it, names the mod folder beside the game folder instead. A folder
// chosen that is no game folder but holds main, a server's install folder,
// stands for that main.
std::optional<Folders> foldersFor(const QString &script, const QString &chosen, const QString &fsGame = {});

enum class Origin {
    Archive,
    Loose,
    Stock, // taken as there: the folders hold none of the game's archives
};

struct Map {
    QString name; // as stored
    Origin origin = Origin::Archive;
    QString file; // the archive's file name, or the loose file's path in its folder
    QString longName = {}; // from an arena file, for display only
    std::optional<QStringList> gametypes
        = {}; // the game's gametypes it runs, in their table's order; none when unknown
    std::optional<MapFile::Holds> holds = {}; // what it holds of what they need; none when unknown
    QString folder = {}; // the folder it lies in, absolute; none for a stock map
};

// The gametype words a map does not run and, for each, what it lacks.
QList<Gametypes::Need> lacking(const Map &map, const Gametypes::Gametype &gametype);
// Whether `map` is a stock map taken as there on which the game's own arena file does not offer `gametype`: the
// reason it does not run it, rather than what it lacks.
bool notOfferedByArena(const Map &map, const Gametypes::Gametype &gametype);

// Something a folder holds that could not be read.
struct Note {
    QString file; // its path in its folder
    Trouble trouble;
    QString folder = {}; // that folder, absolute
};

struct Contents {
    QString folder; // the game folder
    QList<Map> maps; // by name, letter case ignored; then in the order the game searches them
    QList<Note> notes;
    QString modFolder = {};
    bool gameFolder = true; // the game folder holds archives or a maps/mp folder
    bool holdsMain = false; // ... and where it does not, whether it holds a folder named main
    // libzip could not be loaded, so the archives were left unread: nothing is said that they could decide, which
    // is any map and any script, as the game searches them first.
    bool archivesUnread = false;
    std::shared_ptr<const ServerScripts> scripts = {}; // the scripts exec runs and the names the game scripts read

    // A map the game loads for `name`, else nothing.
    const Map *find(QStringView name) const;
    // Whether the game loads `map` for its own name: no map before it in the search takes that name.
    bool finds(const Map &map) const { return find(map.name) == &map; }
    // The loose file that only letter case keeps from being `name`'s map, else nothing.
    const Map *caseOnly(QStringView name) const;
    // The maps the game finds, stock ones included.
    qsizetype mapCount() const;
    // How many maps the folder holds and how many stock ones are taken as
    // there: "3 maps, and the game's 16 taken as there".
    QString mapsCounted() const;
    // The same for a corner of the status bar: "3 maps + 16 stock".
    QString mapsCountedBriefly() const;
    // The folders read, by their names: "main", or "mymod + main".
    QString folderNames() const;
    // Which folder was read, how many maps it holds and how many of its files could not be read.
    QString summary() const;
};

// Whether `map` is one of the game's stock maps as the game ships it, not one the folders bring.
bool isGamesOwn(const Map &map);

// Whether `folder` is a game folder: it holds .pk3 files or a maps/mp folder.
bool isGameFolder(const QString &folder);

// Asked between files and between the pieces of one: true when the reading is no longer wanted.
using Stopped = std::function<bool()>;

// The maps of `folders`, read whatever they hold, on `pool` (the global pool when none); a reading that was
// stopped returns what it had.
Contents read(
    const Folders &folders, Detail detail = Detail::Spawns, const Stopped &stopped = {}, QThreadPool *pool = nullptr);
Contents read(const QString &folder, Detail detail = Detail::Spawns);

// The game's own maps, which the stock archives hold.
const QStringList &stockMaps();

} // namespace GameFolder
