#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The maps a server has, read from its game folder (the script's folder, on
// real servers "main"): the maps in its .pk3 archives, with names compared
// without letter case, and the loose files under maps/mp/, which the server
// opens as written, so their case counts. A later archive by name (see
// GameArchive::rankKey) wins over an earlier one, and every archive over a
// loose file. While the folder holds none of the game's own archives
// (pak*.pk3), the game's stock maps are taken as there. Reading never
// changes the folder; an archive read once is remembered, by its path, size
// and modification time, until the program ends.
namespace GameFolder {

enum class Origin {
    Archive,
    Loose,
    Stock, // taken as there: the folder has none of the game's archives
};

struct Map {
    QString name; // as stored
    Origin origin = Origin::Archive;
    QString file; // the archive's file name, or the loose file's path in the folder
    QString longName; // from an arena file, for display only
    std::optional<QStringList> gametypes; // what its spawn points allow; none when unknown
};

// Something the folder holds that could not be read.
struct Note {
    QString file; // its path in the folder
    QString reason;
};

// Whether only the names are read, or the maps' spawn points too.
enum class Detail { Names, Spawns };

struct Contents {
    QString folder;
    QList<Map> maps; // by name, letter case ignored
    QList<Note> notes;

    // A map the game loads for `name`, else nothing.
    const Map *find(QStringView name) const;
    // The loose file that only letter case keeps from being `name`'s map, else nothing.
    const Map *caseOnly(QStringView name) const;
    // The maps the game finds, stock ones included.
    qsizetype mapCount() const;
    // How many maps the folder holds and how many stock ones are taken as
    // there: "3 maps, and the game's 16 taken as there".
    QString mapsCounted() const;
    // The same for a corner of the status bar: "3 maps + 16 stock".
    QString mapsCountedBriefly() const;
    // Which folder was read, how many maps it holds and how many of its files could not be read.
    QString summary() const;
};

// Whether `fileName` is one of the game's own archives, which hold its stock maps.
bool isGameArchive(QStringView fileName);
// Whether `map` is one of the game's stock maps as the game ships it, not one the folder brings.
bool isGamesOwn(const Map &map);

// Whether `folder` is a game folder: it holds .pk3 files or a maps/mp folder.
bool isGameFolder(const QString &folder);

// The folder's maps; `folder` is read whatever it holds.
Contents read(const QString &folder, Detail detail = Detail::Spawns);

// The game's own maps, which the stock archives hold.
const QStringList &stockMaps();

} // namespace GameFolder
