#pragma once

#include "gamefolder/gsclexer.h"
#include "gamefolder/gscscript.h"

#include <QByteArrayView>

// Reads a game script (.gsc) as the game's compiler does, far enough to
// know what names each call can be given: its #include lines, and each
// function with its parameters, local variables (every assignment, +=
// too, is one value it may hold), loops and calls (name(...),
// path\file::name(...), [[ var ]](...), with or without an object before
// them). A string built with + is a term of parts (see GscScript); what
// the script does with the values otherwise is left out. The script comes
// in pieces, as an archive inflates it; each function is read when its
// last brace comes, so a script costs about its largest function and what
// is kept of it. A script that is not the language as the compiler takes
// it is not followed: its name-like strings are kept instead.
class GscReader {
public:
    // The most tokens of one function that are read; a larger one is not followed.
    static constexpr qsizetype mostTokens = 1 << 20;
    // What one script may keep, in bytes (GscScript::cost()); past it, the script is cut.
    static constexpr qint64 mostKept = 16 << 20;

    void read(QByteArrayView piece);
    // Ends the script and gives what was read of it.
    GscScript finish();

private:
    void readItems();
    void giveUp();
    void cutShort();

    GscLexer m_lexer;
    GscScript m_script;
    qsizetype m_scanned = 0; // tokens looked at for the end of the item they start
    int m_depth = 0; // of braces
    int m_parentheses = 0;
    qint64 m_cost = 0;
};
