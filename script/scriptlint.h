#pragma once

#include <QColor>
#include <QList>
#include <QString>
#include <QStringView>

// Reads a script line the way the game's console will: where a value really
// ends, where a command is cut or a comment begins, what a line loses beyond
// the console's length, and which colours a name or message shows in. It
// never changes the line; the editor only draws what it reports.
namespace ScriptLint {

// The console keeps this many bytes of a line and drops the rest.
inline constexpr qsizetype maxLineBytes = 1023;

struct Span {
    qsizetype start = 0;
    qsizetype length = 0;

    qsizetype end() const { return start + length; }
    bool isEmpty() const { return length == 0; }
    friend bool operator==(const Span &, const Span &) = default;
};

enum class Problem {
    CutValue, // an inner double quote ends the value early
    TooLong, // beyond the bytes the console keeps
    CommandBreak, // a ";" outside quotes starts another command
    CommentStart, // a "//" outside quotes drops the rest of the line
    InfoRefused, // the server-info string refuses the entry
};

struct Mark {
    Span span;
    Problem problem;
    QString sentence; // for the status bar, one plain sentence
};

struct ColourRun {
    Span span; // the colour code and the text it colours
    int colour; // 0..7, see codeColour()
};

// One line as the game reads it. Spans are positions in the text given to
// read(); a text holding line breaks is read as several lines.
struct Reading {
    QList<Span> comments;
    QList<Span> commandWords;
    QList<Span> names; // variable or server-info key of a set/sets line
    QList<Span> quoted; // quoted words, quotes included
    QList<Mark> marks;
    QList<ColourRun> colours;
};

Reading read(QStringView text);

// The first mark that covers `position`, else the first mark of the text.
const Mark *markAt(const Reading &reading, qsizetype position);

// The colour the game shows for "^0".."^7" ("^8" and "^9" wrap to 0 and 1).
QColor codeColour(int colour);

} // namespace ScriptLint
