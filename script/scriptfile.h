#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

// A server script as its file holds it: Windows-1252 bytes, one a character,
// lines ended by CR LF, LF or a lone CR. Reading refuses whatever is not such
// a file, naming the file and the reason, and never waits on one.
namespace ScriptFile {

// The code page of every script, read and saved: each of its 256 bytes is a
// character, the five it leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) as the
// C1 controls of the same number, so that any file saves back byte for byte.
inline constexpr char codePage[] = "windows-1252";

// The largest script Open and --check take; one exec takes at most 16 KiB.
inline constexpr qint64 largestBytes = 1024 * 1024;

struct Loaded {
    QStringList lines; // the file's lines, decoded; CR LF, LF and a lone CR each end a line
                       // (a final line break does not start another line)
    QString text; // the whole file decoded, its line breaks as they are in the file
    QString error; // for the error box / stderr: names the file and the reason; empty when read

    bool ok() const { return error.isEmpty(); }
    // Whether the file's last line is ended by a line break, as a script saved
    // straight after "Finish!" is.
    bool endsWithLineBreak() const { return text.endsWith(u'\n') || text.endsWith(u'\r'); }
};

// Reads the script at `path`. Never blocks (a FIFO or device is refused without
// reading it) and reads no more than largestBytes + 1 bytes.
Loaded load(const QString &path);

// Windows-1252 bytes to text; the five bytes the code page leaves undefined
// come back on encode.
QString decode(QByteArrayView bytes);

// The lines of `text`, split where `load` splits them.
QStringList splitLines(QStringView text);
// Where each of those lines ends, its line break included: one byte a character, as the file holds it.
QList<qsizetype> lineEnds(QStringView text);

// Where the character at `index` of `text` stands among those lines, from 0;
// a character of a line break stands at the end of the line it ends.
struct Position {
    qsizetype line = 0;
    qsizetype column = 0;
};
Position positionOf(QStringView text, qsizetype index);

} // namespace ScriptFile
