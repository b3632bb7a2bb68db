#include "app/scriptcheck.h"

#include "app/tform1.h"
#include "script/consolereader.h"
#include "script/scriptfile.h"
#include "script/scriptreader.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace ScriptCheck {

namespace {

struct Found {
    qsizetype line; // from 0
    qsizetype column; // from 0
    QString sentence;
};

// Where the character at `index` of `text` stands, its line breaks split as
// ScriptFile splits them.
Found positionOf(QStringView text, qsizetype index)
{
    qsizetype line = 0;
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < index; ++i) {
        if (text[i] != u'\r' && text[i] != u'\n')
            continue;
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            if (i + 1 == index)
                break; // the LF of the line's own CR LF
            ++i;
        }
        ++line;
        lineStart = i + 1;
    }
    return { line, index - lineStart, {} };
}

// exec refuses the file as it lies on the disk, one byte a character, whatever
// its line ends: a file with LF ends is smaller than the editor would save it.
void markPastExecLimit(const QString &text, QList<Found> &found)
{
    ConsoleReader::ScriptSize size { text.size() };
    if (size.fits())
        return;
    const auto past = std::find_if(
        text.cbegin() + ConsoleReader::execBufferBytes, text.cend(), [](QChar c) { return c != u'\r' && c != u'\n'; });
    const qsizetype at = past == text.cend() ? ConsoleReader::execBufferBytes : past - text.cbegin();
    Found mark = positionOf(text, at);
    mark.sentence = size.sentence();
    found.append(mark);
}

} // namespace

ExitCode run(const QStringList &files, QTextStream &out, QTextStream &err)
{
    const ValueCatalogue values = TForm1::valueCatalogue();
    ExitCode code = NothingMarked;
    for (const QString &file : files) {
        const ScriptFile::Loaded loaded = ScriptFile::load(file);
        if (!loaded.ok()) {
            err << u"tallyforge: "_s << loaded.error << Qt::endl;
            code = Unreadable;
            continue;
        }
        QList<Found> found;
        const QList<ConsoleReader::Reading> readings = ScriptReader::readAll(loaded.lines, values);
        for (qsizetype line = 0; line < readings.size(); ++line) {
            for (const ConsoleReader::Mark &mark : readings[line].marks)
                found.append({ line, mark.span.start, mark.sentence });
        }
        markPastExecLimit(loaded.text, found);
        std::stable_sort(found.begin(), found.end(),
            [](const Found &a, const Found &b) { return std::pair(a.line, a.column) < std::pair(b.line, b.column); });
        for (const Found &mark : found)
            out << file << u':' << mark.line + 1 << u':' << mark.column + 1 << u": "_s << mark.sentence << u'\n';
        out.flush();
        if (!found.isEmpty() && code == NothingMarked)
            code = Marked;
    }
    return code;
}

} // namespace ScriptCheck
