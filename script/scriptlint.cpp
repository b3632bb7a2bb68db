#include "script/scriptlint.h"

#include <QLocale>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace ScriptLint {

namespace {

// Names and messages that players see: their colour codes are shown, and
// like every server-info entry they cannot hold "\" or ";".
const struct {
    QStringView cvar;
    QStringView subject;
} shownToPlayers[] = {
    { u"sv_hostname", u"server name" },
    { u"scr_motd", u"message of the day" },
};

bool isLineBreak(QChar c)
{
    return c == u'\n' || c == u'\r' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}

// The console splits words at anything up to and including the space.
bool isBlank(QChar c)
{
    return c.unicode() <= u' ';
}

qsizetype skipBlanks(QStringView line, qsizetype i)
{
    while (i < line.size() && isBlank(line[i]))
        ++i;
    return i;
}

bool isCommentAt(QStringView line, qsizetype i)
{
    return line[i] == u'/' && i + 1 < line.size() && line[i + 1] == u'/';
}

// A word as the console splits it: up to a blank, a quote, a ";" or a "//".
qsizetype wordEnd(QStringView line, qsizetype i)
{
    while (i < line.size() && !isBlank(line[i]) && line[i] != u'"' && line[i] != u';' && !isCommentAt(line, i))
        ++i;
    return i;
}

bool holdsAnyOf(QStringView text, QStringView characters)
{
    for (QChar c : text) {
        if (characters.contains(c))
            return true;
    }
    return false;
}

// The index from which a line's Windows-1252 bytes exceed what the console
// keeps, or -1. Every character the file can hold is one byte; a surrogate
// pair cannot be saved at all but counts once here.
qsizetype overflowStart(QStringView line)
{
    if (line.size() <= maxLineBytes)
        return -1;
    qsizetype bytes = 0;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i].isLowSurrogate() && i > 0 && line[i - 1].isHighSurrogate())
            continue;
        if (bytes == maxLineBytes)
            return i;
        ++bytes;
    }
    return -1;
}

QString subjectOf(QStringView name)
{
    if (name.compare(u"sv_mapRotation", Qt::CaseInsensitive) == 0)
        return u"The map rotation"_s;
    for (const auto &entry : shownToPlayers) {
        if (name.compare(entry.cvar, Qt::CaseInsensitive) == 0)
            return u"The "_s.append(entry.subject);
    }
    return u"The value of "_s.append(name);
}

void addColourRuns(QStringView line, Span value, qsizetype offset, Reading &out)
{
    qsizetype runStart = -1;
    int colour = 0;
    auto closeRun = [&](qsizetype end) {
        if (runStart >= 0)
            out.colours.append({ { offset + runStart, end - runStart }, colour });
    };
    for (qsizetype k = value.start; k + 1 < value.end(); ++k) {
        const QChar next = line[k + 1];
        if (line[k] != u'^' || next < u'0' || next > u'9')
            continue;
        closeRun(k);
        runStart = k;
        colour = (next.unicode() - u'0') % 8;
        ++k;
    }
    closeRun(value.end());
}

void readLine(QStringView line, qsizetype offset, Reading &out)
{
    auto at = [offset](qsizetype start, qsizetype end) { return Span { offset + start, end - start }; };
    auto mark = [&](qsizetype start, qsizetype end, Problem problem, const QString &sentence) {
        out.marks.append({ at(start, end), problem, sentence });
    };

    const qsizetype n = line.size();
    if (const qsizetype cut = overflowStart(line); cut >= 0) {
        mark(cut, n, Problem::TooLong,
            u"The game keeps only the first 1,023 bytes of a line and silently drops the marked rest (%1 characters)."_s
                .arg(QLocale(QLocale::English).toString(n - cut)));
    }

    const qsizetype first = skipBlanks(line, 0);
    if (first == n)
        return;
    if (isCommentAt(line, first)) {
        out.comments.append(at(first, n));
        return;
    }

    // Quotes pair up from the start of the line; ";" and "//" count only
    // between pairs.
    bool inQuote = false;
    qsizetype openQuote = -1;
    qsizetype lastQuote = -1;
    qsizetype firstBreak = -1;
    qsizetype comment = -1;
    qsizetype commandStart = first;
    for (qsizetype j = first; j < n; ++j) {
        const QChar c = line[j];
        if (c == u'"') {
            if (inQuote)
                out.quoted.append(at(openQuote, j + 1));
            openQuote = j;
            lastQuote = j;
            inQuote = !inQuote;
            commandStart = -1;
            continue;
        }
        if (inQuote)
            continue;
        if (commandStart >= 0 && !isBlank(c)) {
            if (const qsizetype end = wordEnd(line, j); end > j)
                out.commandWords.append(at(j, end));
            commandStart = -1;
        }
        if (c == u';') {
            if (firstBreak < 0)
                firstBreak = j;
            commandStart = j + 1;
        } else if (isCommentAt(line, j)) {
            comment = j;
            out.comments.append(at(j, n));
            break;
        }
    }
    if (inQuote)
        out.quoted.append(at(openQuote, n));

    const Span command { first, wordEnd(line, first) - first };
    const QStringView commandWord = line.sliced(command.start, command.length);
    const bool isSets = commandWord.compare(u"sets", Qt::CaseInsensitive) == 0;
    if (!isSets && commandWord.compare(u"set", Qt::CaseInsensitive) != 0)
        return;

    // The name as it looks: everything up to the next blank or quote.
    const qsizetype nameStart = skipBlanks(line, command.end());
    qsizetype nameEnd = nameStart;
    while (nameEnd < n && !isBlank(line[nameEnd]) && line[nameEnd] != u'"')
        ++nameEnd;
    if (nameEnd == nameStart || command.end() == nameStart)
        return;
    out.names.append(at(nameStart, nameEnd));
    const QStringView name = line.sliced(nameStart, nameEnd - nameStart);

    // The value as it looks: between the first and the last quote, or the
    // bare words up to where the command ends.
    const qsizetype valueStart = skipBlanks(line, nameEnd);
    Span value;
    if (valueStart < n && line[valueStart] == u'"') {
        const qsizetype valueEnd = lastQuote > valueStart ? lastQuote : n;
        value = { valueStart + 1, valueEnd - valueStart - 1 };
        const qsizetype secondQuote = line.indexOf(u'"', valueStart + 1);
        if (secondQuote >= 0 && lastQuote > secondQuote) {
            mark(secondQuote, lastQuote + 1, Problem::CutValue,
                u"%1 will end at its second double quote, and the game reads the rest as separate words."_s.arg(
                    subjectOf(name)));
        }
    } else {
        qsizetype valueEnd = n;
        for (qsizetype stop : { firstBreak, comment }) {
            if (stop >= valueStart && stop < valueEnd)
                valueEnd = stop;
        }
        while (valueEnd > valueStart && isBlank(line[valueEnd - 1]))
            --valueEnd;
        value = { valueStart, std::max<qsizetype>(valueEnd - valueStart, 0) };
    }
    const QStringView valueText = line.sliced(value.start, value.length);

    if (firstBreak >= 0) {
        const qsizetype end = comment >= 0 ? comment : n;
        if (skipBlanks(line, firstBreak + 1) < end) {
            mark(firstBreak, end, Problem::CommandBreak,
                u"The game ends the command at the \";\" outside the quotes and runs the rest of the line as a command of its own."_s);
        }
    }
    if (comment >= 0) {
        mark(comment, n, Problem::CommentStart,
            u"The game ignores everything from the \"//\" outside the quotes to the end of the line."_s);
    }

    if (isSets) {
        const auto refused = [name] {
            return u"The server-info string refuses a key or value holding \\, ; or \", so the server will not publish %1."_s
                .arg(name);
        };
        if (holdsAnyOf(name, u"\\;"))
            mark(nameStart, nameEnd, Problem::InfoRefused, refused());
        if (holdsAnyOf(valueText, u"\\;"))
            mark(value.start, value.end(), Problem::InfoRefused, refused());
        return;
    }
    for (const auto &entry : shownToPlayers) {
        if (name.compare(entry.cvar, Qt::CaseInsensitive) != 0)
            continue;
        if (holdsAnyOf(valueText, u"\\;")) {
            mark(value.start, value.end(), Problem::InfoRefused,
                u"The server-info string refuses a value holding \\ or ;, so players will not see this %1."_s.arg(
                    entry.subject));
        }
        addColourRuns(line, value, offset, out);
    }
}

} // namespace

Reading read(QStringView text)
{
    Reading reading;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !isLineBreak(text[i]))
            continue;
        readLine(text.sliced(start, i - start), start, reading);
        start = i + 1;
    }
    return reading;
}

const Mark *markAt(const Reading &reading, qsizetype position)
{
    for (const Mark &mark : reading.marks) {
        if (mark.span.start <= position && position <= mark.span.end())
            return &mark;
    }
    return reading.marks.isEmpty() ? nullptr : &reading.marks.constFirst();
}

QColor codeColour(int colour)
{
    static const QColor colours[]
        = { Qt::black, Qt::red, Qt::green, Qt::yellow, Qt::blue, Qt::cyan, Qt::magenta, Qt::white };
    return colours[((colour % 8) + 8) % 8];
}

} // namespace ScriptLint
