#pragma once

#include "gamefolder/gamearchive.h"
#include "script/scriptreader.h"
#include "script/variableuse.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

// The scripts a server's folders hold, found as the game finds them: every
// .cfg, which exec runs, and the names every .gsc holds, which the game's
// scripts read their variables by; and the gametypes the folders add, one a
// maps/mp/gametypes/NAME.gsc. They are added place by place in the order the
// game searches (the mod folder's archives, its loose files, then the game
// folder's), and the first file of a path wins: in an archive a path matches
// in any letter case, a loose file only by its exact name.
class ServerScripts {
public:
    using Config = GameArchive::Config;
    using GameScript = GameArchive::GameScript;
    // What one place of the search holds.
    struct Place {
        QString folder; // absolute
        QString archive = {}; // its file name; empty for the folder's loose files
        bool stock = false; // one of the game's own archives
        QList<Config> configs = {};
        QList<GameScript> gameScripts = {};
        bool gameScriptsWhole = true; // every game script's names were read
    };
    // A gametype no stock script provides.
    struct Gametype {
        QString word;
        QString archive; // empty for a loose file
        QString folder; // absolute
    };

    // `places` in the order the game searches them; `maps` and `stockGametypes` are what names are built with.
    ServerScripts(const QList<Place> &places, const QStringList &maps, const QStringList &stockGametypes);

    // The script the game's exec finds at `path` (see ExecName), else none.
    std::optional<ScriptReader::ExecScript> find(const QString &path) const;
    // The mod's gametype `word`, in any letter case, where a script provides it.
    const Gametype *gametype(QStringView word) const;
    const QList<Gametype> &gametypes() const { return m_gametypes; }
    // What the server's scripts read; none where some game script could not be read whole.
    std::shared_ptr<const VariableUse> variables() const { return m_variables; }
    // The game scripts that could not be followed whole: the names they build are taken as read.
    const QStringList &unfollowed() const { return m_unfollowed; }
    // Whether the names the game scripts build came to more than may be kept, so that none are told.
    bool overBuilt() const { return m_overBuilt; }

    // The server a script at `scriptPath` (none for a script not saved yet) is read on.
    static std::shared_ptr<const ScriptReader::Server> serverFor(
        std::shared_ptr<const ServerScripts> scripts, const QString &scriptPath);

private:
    struct Found {
        qsizetype place;
        qsizetype config;
    };
    struct Layer {
        QHash<QString, Found> archived; // by name key
        QHash<QString, Found> loose; // by exact path
    };
    QList<Place> m_places;
    QList<QString> m_folders; // one a layer, searched first to last
    QList<Layer> m_layers;
    QList<Gametype> m_gametypes;
    std::shared_ptr<const VariableUse> m_variables;
    QStringList m_unfollowed;
    bool m_overBuilt = false;
};

// Marks the gametypes `reading` (of `text`) names that no script on the server
// provides, and notes where the ones a mod provides come from; notes on the
// maps loaded with a mod's gametype that their spawn points are not checked.
void addGametypeMarks(ConsoleReader::Reading &reading, QStringView text, const ServerScripts &scripts);
