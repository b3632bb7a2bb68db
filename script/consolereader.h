#pragma once

#include "script/valuecatalogue.h"

#include <QColor>
#include <QList>
#include <QString>
#include <QStringView>

// Reads a script the way the game's console will: where each command ends,
// which words it is made of, what a set, seta or sets line really sets, and what
// the server info refuses. Wherever that differs from how a line looks (one
// command; "//" at its start makes it a comment; for set, seta and sets the second
// word is the name and the value lies between the first and the last quote,
// or is the rest of the line), the reading holds a mark saying what the game
// does instead; so it does where a value is not what the settings pages would
// write for its variable. It never changes the text; the editor only draws
// the reading.
namespace ConsoleReader {

// A command that reaches this many characters is cut: the next one is
// dropped and the rest is read as a new command.
inline constexpr qsizetype maxCommandChars = 1023;
// The longest "\key\value" entry the server info takes.
inline constexpr qsizetype maxInfoPairBytes = 1024;

struct Span {
    qsizetype start = 0;
    qsizetype length = 0;

    qsizetype end() const { return start + length; }
    friend bool operator==(const Span &, const Span &) = default;
};

enum class Problem {
    SecondCommand, // a ";" starts another command on the line
    Cut, // the command reached its length limit
    NothingSet, // set, seta or sets with the wrong number of words
    InvalidName, // a variable name the game refuses
    OtherName, // the game sets another variable than the line shows
    OtherValue, // the game sets another value than the line shows
    InfoRefused, // set, but left out of the server info
    PastExecLimit, // beyond the bytes one exec takes (see ExecSize)
    NumberRead, // the game reads another number than the value shows
    Clamped, // the game uses a smaller number, the largest it allows
    DefaultUsed, // the game uses its default for an empty value
    NotAChoice, // none of the values the page's buttons write
    MissingWord, // a rotation keyword without its gametype or map
    UnknownGametype, // a rotation gametype the game does not ship; a mod may add it
    UnnamedMap, // a rotation map named only "mp_"
    StrayWord, // a rotation word that is neither keyword nor the keyword's word
    GluedKeyword, // a rotation keyword glued to the end of the word before it
    SetAgain, // a later line sets the variable again before anything reads it
    CommandLineOnly, // a variable the game takes only from the server's command line
    MapMissing, // the game folder has no such map
    MapWithoutSpawns, // the map has no spawn points for the rotation's gametype
    MapWithoutRadios, // the map has no HQ radios, and hq is its gametype
    MapCaseOnly, // a loose map that only letter case keeps from being found
    ExecMissing, // exec finds no script, or refuses its name: nothing runs
    ExecTooLarge, // exec finds a script larger than it takes: nothing runs
    ExecLoop, // exec runs a script that is already running: it never ends
    NothingReads, // nothing on the server reads the variable set
    GametypeMissing, // no script on the server provides the gametype: the game plays dm
    ServerHoldsOtherwise, // the running server holds another value than the line sets
};

struct Mark {
    Span span;
    Problem problem;
    QString sentence; // for the status bar: what the game does
};

// What the game does with a word where nothing is amiss, such as what an exec
// finds; the status bar shows it where no mark is.
struct Note {
    Span span;
    QString sentence;
};

struct ColourRun {
    Span span; // the colour code and the text it colours
    int colour; // 0..7, see codeColour()
};

// A map a command loads: a map word of a rotation, with the gametype the
// rotation gives it (none before its first gametype), or of map or devmap,
// with the g_gametype an earlier line sets (see ScriptReader), if any.
struct MapWord {
    Span span;
    QString name;
    QString gametype = {};
    bool inRotation = false;
    qsizetype gametypeLine = -1; // a map or devmap's: the line (from 0) that sets its gametype
    QString gametypeScript = {}; // the script of that line, where it is another than the word's
};

// Spans are positions in the text given to read(); a text holding line
// breaks is read as several lines.
struct Reading {
    QList<Span> comments;
    QList<Span> commandWords;
    QList<Span> names; // the variable of a set, seta or sets line, as it looks
    QList<Span> quoted; // quoted words, quotes included
    QList<Mark> marks;
    QList<Note> notes;
    QList<ColourRun> colours;
    QList<MapWord> maps; // for the marks a game folder adds (GameFolder::addMapMarks)
};

// Values of the variables in `values` are read as the game reads them.
Reading read(QStringView text, const ValueCatalogue &values = {});

// The innermost mark over the word of `line` at `position` (the run of
// non-blank characters it touches, or the position alone between blanks);
// none where that word has none, whatever else on the line is marked.
const Mark *markAt(const Reading &reading, QStringView line, qsizetype position);
// The same for the notes.
const Note *noteAt(const Reading &reading, QStringView line, qsizetype position);

// The colour the game shows for "^0".."^7" ("^8" and "^9" wrap to 0 and 1).
QColor codeColour(int colour);

// The colour runs of a text the game shows, such as a player's name, as the editor finds them in a value.
QList<ColourRun> colourRunsOf(QStringView text);

} // namespace ConsoleReader

namespace ConsoleReader {

// The commands the console runs for one line, each as its words (a quoted
// word without its quotes); `plain` is cleared when the line holds a comment
// or a command the console cuts.
QList<QStringList> commandsOf(QStringView line, bool *plain = nullptr);

} // namespace ConsoleReader
