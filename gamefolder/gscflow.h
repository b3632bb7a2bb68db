#pragma once

#include "gamefolder/gscscript.h"
#include "script/namepattern.h"

#include <QList>
#include <QString>
#include <QStringList>

// What the game scripts of a server read and set, followed across their
// files: a call of the built-ins that read a variable (getcvar, getcvarint,
// getcvarfloat) or set one (setcvar) reads or sets the names its argument
// can take; a function one of whose parameters reaches such a call reads too,
// and each call of it reads what its arguments build, through any number of
// helpers (path\file::name, a function of the same file or of one it
// includes). The level's fields hold what any script gives them; the
// gametype and the map name are what the game's own variables for them
// hold. A call through a variable ([[ ]]) may reach a reader: what its
// arguments build, and anything after it, counts as read.
namespace GscFlow {

struct Script {
    QString path; // as the search found it
    const GscScript *script;
};

struct Result {
    QList<NamePattern> reads;
    QList<NamePattern> writes;
    // The scripts not followed whole: not the language the compiler takes, or a read of what cannot be told.
    QStringList unfollowed;
    bool overBudget = false; // more was built than `budget`: nothing can be said
};

// What the names were built from takes `budget` bytes at most.
Result follow(const QList<Script> &scripts, qint64 budget);

} // namespace GscFlow
