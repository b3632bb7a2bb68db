#pragma once

#include <QList>
#include <QString>

// The names one read in a game script can take, as the parts it joins them
// from: "scr_" + gametype + "_timelimit" is a literal, the gametype, and
// another literal. Which names a part stands for is the server's to say (its
// gametypes, its maps, the values its scripts give a variable); see VariableUse.
struct NamePattern {
    enum class Kind : quint8 {
        Literal, // `text` exactly, in any letter case
        Gametype, // one of the server's gametypes
        Map, // one of the server's maps
        Number, // digits
        Word, // any non-empty run of letters, digits and "_": known only when the game runs
        ValueOf, // a word of a value the server's scripts give the variable `text`
        Rest, // anything, or nothing: what follows is not known
    };
    struct Part {
        Kind kind;
        QString text = {}; // lower case

        friend bool operator==(const Part &, const Part &) = default;
    };
    QList<Part> parts;

    friend bool operator==(const NamePattern &, const NamePattern &) = default;
};
