#pragma once

#include <QString>
#include <QStringView>

// What the game's exec does with a script by its size. exec reads the whole
// file and adds one line break; the console's command buffer holds that, and
// whatever the server's command line still queues after +exec, in 16,384
// bytes. Above that the game runs none of the file.
namespace ExecSize {

inline constexpr qsizetype commandBufferBytes = 16384;
// The largest script that runs, when +exec ends the server's command line.
inline constexpr qsizetype largestBytes = commandBufferBytes - 1;
// The largest when +map_rotate follows +exec: "map_rotate" and its line break stay queued.
inline constexpr qsizetype largestBeforeMapRotate = largestBytes - qsizetype(sizeof("map_rotate\n") - 1);

// Whether exec runs a script of `bytes` while `waiting` bytes still wait in the command buffer after the
// command that execs it: what is left of the script that runs the exec, and of the scripts that run that one.
constexpr bool fitsBehind(qsizetype bytes, qsizetype waiting)
{
    return waiting + bytes + 1 <= commandBufferBytes;
}

enum class Breaks {
    Saved, // every line break two bytes, CR LF, as the editor saves the script
    AsTheyAre, // one byte a character, as a file on the disk holds them
};

struct Size {
    qsizetype bytes = 0;
    // Where the script goes past the limit(): its first character past it
    // that is not a line break, else the line break the limit falls in; -1
    // while it fits.
    qsizetype firstPast = -1;

    // The size the script goes past: largestBytes, or largestBeforeMapRotate
    // where only a following +map_rotate leaves it no room; -1 while it fits both.
    qsizetype limit() const { return limitFor(bytes); }
    bool fits() const { return limit() < 0; }
    QString sentence() const; // empty while it fits

    static qsizetype limitFor(qsizetype bytes);
};

// The bytes `text` takes.
qsizetype bytesOf(QStringView text, Breaks breaks);

// The first character of `text` past `limit` bytes that is not a line break,
// `bytesBefore` being the bytes before `text` in its script; -1 for none.
qsizetype firstPast(QStringView text, Breaks breaks, qsizetype limit, qsizetype bytesBefore = 0);

// The size of the whole script `text`.
Size measure(QStringView text, Breaks breaks);

} // namespace ExecSize
