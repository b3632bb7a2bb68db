#pragma once

#include <QString>

// What kept a file of a game folder from being read whole, as a kind and its
// facts. The readers only report it; the status bar and --check make its
// words with describe().
struct Trouble {
    enum class Kind {
        NotAMap,
        MapVersion, // `number`: the version found; `limit`: the one the game loads
        EntitiesOutside, // the header puts the entities past the end of the file
        EntitiesTooLarge, // `limit`: the most read
        ReadFailed, // `detail`: the words of the system or of libzip
        EndsEarly,
        OverCeiling, // `number`: its size; `limit`: the most read of such a file
        OverBudget, // `limit`: what the whole folder may inflate to
        EmptyArchive,
        NotAnArchive, // `detail`: libzip's words
        NotAFile,
        BrokenLink, // leads nowhere, or round to itself
        TooManyArchives, // `limit`: the most read
        TooManyLooseMaps, // `limit`: the most read
        FolderUnreadable,
        FolderMissing,
        MoreLikeThese, // `number`: how many more troubles of one archive are left out
        TooManyNames, // `limit`: the most names of one game script read
        TooManyScripts, // `limit`: the most scripts of a kind read in one archive or folder
        OverKept, // `limit`: what the folder's scripts may keep in memory
        NoLibZip, // `detail`: why the library that reads archives cannot be loaded
        NotFollowed, // `number`: how many game scripts in all could not be followed whole
        OverBuilt, // `limit`: what the names the game scripts build may take in memory
    };
    Kind kind;
    QString entry = {}; // the archive's entry it concerns, if any
    qint64 number = 0;
    qint64 limit = 0;
    QString detail = {};

    friend bool operator==(const Trouble &, const Trouble &) = default;
};

// "maps/mp/x.bsp: not a map file"
QString describe(const Trouble &trouble);
