#include "script/consolereader.h"

#include "script/linebreaks.h"
#include "script/wording.h"

#include <algorithm>
#include <charconv>
#include <limits>

using namespace Qt::StringLiterals;

namespace ConsoleReader {

namespace {

// Variables the server info carries besides those set with sets; their
// colour codes show to players.
constexpr QStringView infoVariables[] = { u"sv_hostname", u"scr_motd" };

constexpr QStringView setCommands[] = { u"set", u"seta", u"sets" };

// The console reads bytes as signed: up to the space, and every byte from
// 128 (a Windows-1252 letter such as "é" too), splits words outside quotes.
bool isBlank(QChar c)
{
    return c.unicode() <= u' ' || c.unicode() >= 128;
}

// What a reader of the line takes for a gap between words.
bool looksBlank(QChar c)
{
    return c.unicode() <= u' ';
}

bool isPairAt(QStringView line, qsizetype i, qsizetype end, QStringView pair)
{
    return i + 1 < end && line[i] == pair[0] && line[i + 1] == pair[1];
}

bool holdsAnyOf(QStringView text, QStringView characters)
{
    return std::any_of(text.begin(), text.end(), [characters](QChar c) { return characters.contains(c); });
}

struct Word {
    Span span; // quotes included
    QStringView text; // of the line read; a long line holds many words, none copied
};

// One command as the console cuts it from the line.
struct Command {
    qsizetype opener = -1; // the ";" or dropped character before it
    bool afterCut = false;
    qsizetype start = 0;
    qsizetype end = 0;
    bool cut = false; // the character at `end` is dropped
    QList<Word> words;
};

QList<Command> splitCommands(QStringView line)
{
    QList<Command> commands;
    qsizetype start = 0;
    Command next;
    while (true) {
        int quotes = 0;
        qsizetype i = start;
        // No further than the cut: a long line is cut many times, and each looks at its own stretch only.
        for (; i < line.size() && i - start <= maxCommandChars && !(line[i] == u';' && quotes % 2 == 0); ++i)
            quotes += line[i] == u'"' ? 1 : 0;
        next.start = start;
        if (i - start > maxCommandChars) {
            next.end = start + maxCommandChars;
            next.cut = true;
        } else {
            next.end = i;
        }
        commands.append(next);
        start = next.end + 1;
        if (start > line.size() || (start == line.size() && !next.cut))
            return commands;
        const Command previous = next;
        next = Command();
        next.opener = previous.end;
        next.afterCut = previous.cut;
    }
}

// Splits a command into words as the console does, noting comments and
// quoted words on the way.
void readWords(QStringView line, Command &command, Reading &out)
{
    qsizetype i = command.start;
    const qsizetype end = command.end;
    while (true) {
        while (i < end && isBlank(line[i]))
            ++i;
        if (i == end)
            return;
        if (isPairAt(line, i, end, u"//")) {
            out.comments.append({ i, end - i });
            return;
        }
        if (isPairAt(line, i, end, u"/*")) {
            const qsizetype close = line.first(end).indexOf(u"*/", i + 2);
            const qsizetype after = close < 0 ? end : close + 2;
            out.comments.append({ i, after - i });
            i = after;
            continue;
        }
        qsizetype wordEnd = i;
        if (line[i] == u'"') {
            const qsizetype close = line.first(end).indexOf(u'"', i + 1);
            wordEnd = close < 0 ? end : close;
            command.words.append({ { i, std::min(wordEnd + 1, end) - i }, line.sliced(i + 1, wordEnd - i - 1) });
            out.quoted.append(command.words.constLast().span);
            i = std::min(wordEnd + 1, end);
            continue;
        }
        while (wordEnd < end && !isBlank(line[wordEnd]) && line[wordEnd] != u'"' && !isPairAt(line, wordEnd, end, u"//")
            && !isPairAt(line, wordEnd, end, u"/*"))
            ++wordEnd;
        command.words.append({ { i, wordEnd - i }, line.sliced(i, wordEnd - i) });
        i = wordEnd;
    }
}

// A command as the console runs it: its words, one holding a blank quoted.
QString shownCommand(const QList<Word> &words)
{
    auto quoted = [](const Word &word) { return std::any_of(word.text.begin(), word.text.end(), isBlank); };
    auto piece
        = [&](const Word &word) { return quoted(word) ? u'"' + word.text.toString() + u'"' : word.text.toString(); };
    qsizetype size = -1;
    for (const Word &word : words)
        size += word.text.isEmpty() ? 0 : 1 + word.text.size() + (quoted(word) ? 2 : 0);
    QString front;
    QString back;
    // A line cut a thousand times has a thousand commands: of a long one, only its two ends are put together.
    for (qsizetype k = 0;
         k < words.size() && (size <= Wording::shortenedLongest || front.size() < Wording::shortenedFront); ++k) {
        if (!words[k].text.isEmpty())
            front += (front.isEmpty() ? QString() : u" "_s) + piece(words[k]);
    }
    if (size <= Wording::shortenedLongest)
        return front;
    for (qsizetype k = words.size(); k-- > 0 && back.size() < Wording::shortenedBack;) {
        if (!words[k].text.isEmpty())
            back.prepend(piece(words[k]) + (back.isEmpty() ? QString() : u" "_s));
    }
    return front.first(Wording::shortenedFront) + QChar(0x2026) + back.last(Wording::shortenedBack);
}

QString gameValue(const QList<Word> &words)
{
    QStringList texts;
    for (qsizetype k = 2; k < words.size(); ++k)
        texts << words[k].text.toString();
    return texts.join(u' ');
}

void markCommand(const Command &command, Reading &out)
{
    const qsizetype from = command.opener;
    const Span span { from, command.end - from };
    if (!command.afterCut) {
        if (!command.words.isEmpty()) {
            out.marks.append({ span, Problem::SecondCommand,
                u"The rest of this line runs as a command of its own: "_s + shownCommand(command.words) });
        }
        return;
    }
    QString sentence
        = u"The game cuts the command at %1 characters and drops this one."_s.arg(Wording::thousands(maxCommandChars));
    if (command.words.isEmpty())
        sentence += u" The rest of this line runs nothing."_s;
    else
        sentence += u" The rest of this line runs as a command of its own: "_s + shownCommand(command.words);
    out.marks.append({ span, Problem::Cut, sentence });
}

void addColourRuns(QStringView line, Span value, Reading &out)
{
    qsizetype runStart = -1;
    int colour = 0;
    auto closeRun = [&](qsizetype end) {
        if (runStart >= 0)
            out.colours.append({ { runStart, end - runStart }, colour });
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

// Where `command` stops looking like one set command: at the next ";" that
// starts another command, or at a "//" comment set off by a blank.
qsizetype looksEnd(QStringView line, const QList<Command> &commands, qsizetype command, const Reading &reading)
{
    qsizetype end = line.size();
    for (qsizetype k = command + 1; k < commands.size(); ++k) {
        if (!commands[k].afterCut) {
            end = commands[k].opener;
            break;
        }
    }
    const qsizetype start = commands[command].start;
    for (const Span &comment : reading.comments) {
        if (comment.start >= start && comment.start < end && line[comment.start + 1] == u'/'
            && (comment.start == 0 || looksBlank(line[comment.start - 1])))
            return comment.start;
    }
    return end;
}

// C's isspace, which the game's number reading skips.
bool isSpace(QChar c)
{
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

bool isDigit(QStringView text, qsizetype i)
{
    return i < text.size() && text[i] >= u'0' && text[i] <= u'9';
}

struct Number {
    double value = 0;
    bool asLooks = false; // a number and nothing after it but blanks
};

qsizetype skipSpaces(QStringView text, qsizetype i)
{
    while (i < text.size() && isSpace(text[i]))
        ++i;
    return i;
}

qsizetype skipDigits(QStringView text, qsizetype i)
{
    while (isDigit(text, i))
        ++i;
    return i;
}

bool readsToEnd(QStringView text, qsizetype i)
{
    return skipSpaces(text, i) == text.size();
}

// As C's atoi: leading blanks, a sign, then the digits up to the first other
// character; no digits is 0. The game's integers saturate at 32 bits.
Number readWhole(QStringView text)
{
    constexpr qint64 largest = std::numeric_limits<qint32>::max();
    qsizetype i = skipSpaces(text, 0);
    const bool negative = i < text.size() && text[i] == u'-';
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        ++i;
    const qsizetype digits = i;
    qint64 value = 0;
    for (; isDigit(text, i); ++i)
        value = std::min(value * 10 + (text[i].unicode() - u'0'), largest + 2);
    const qint64 exact = negative ? -value : value;
    const qint64 saturated = std::clamp(exact, -largest - 1, largest);
    return { double(saturated), i > digits && saturated == exact && readsToEnd(text, i) };
}

// As C's atof: leading blanks, a sign, digits with an optional fraction, an
// optional exponent; the rest is ignored, and no number at all is 0.
Number readDecimal(QStringView text)
{
    qsizetype i = skipSpaces(text, 0);
    const bool negative = i < text.size() && text[i] == u'-';
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        ++i;
    const qsizetype start = i;
    i = skipDigits(text, i);
    bool digits = i > start;
    if (i < text.size() && text[i] == u'.') {
        const qsizetype fraction = i + 1;
        i = skipDigits(text, fraction);
        digits = digits || i > fraction;
    }
    if (!digits)
        return {};
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype exponent = i + 1;
        if (exponent < text.size() && (text[exponent] == u'-' || text[exponent] == u'+'))
            ++exponent;
        if (isDigit(text, exponent))
            i = skipDigits(text, exponent);
    }
    // Only ASCII digits, '.', 'e' and a sign are left: the bytes are the text.
    const QByteArray number = text.sliced(start, i - start).toLatin1();
    double value = 0;
    if (std::from_chars(number.cbegin(), number.cend(), value).ec == std::errc::result_out_of_range) {
        // C makes too large a number infinite and too small a one 0.
        const qsizetype exponent = std::max(number.indexOf('e'), number.indexOf('E'));
        value = exponent >= 0 && number[exponent + 1] == '-' ? 0.0 : std::numeric_limits<double>::infinity();
    }
    return { negative ? -value : value, readsToEnd(text, i) };
}

// A number as the status bar shows it: as short as it reads.
QString shownNumber(double value)
{
    return QString::number(value, 'g', 15);
}

// "a, b or c"
QString oneOf(const QStringList &values)
{
    if (values.size() < 2)
        return values.join(QString());
    return values.first(values.size() - 1).join(u", "_s) + u" or "_s + values.constLast();
}

void readNumberValue(const ValueCatalogue::Accepted &accepted, const QString &value, Span span, Reading &out)
{
    if (value.isEmpty() && accepted.emptyGives) {
        out.marks.append({ span, Problem::DefaultUsed,
            u"The game uses %1, its default for an empty value."_s.arg(*accepted.emptyGives) });
        return;
    }
    const Number number = accepted.kind == ValueCatalogue::Kind::Whole ? readWhole(value) : readDecimal(value);
    const QString reading = shownNumber(number.value);
    if (accepted.clamp && number.value > accepted.clamp->highest) {
        const QString uses
            = u"uses %1, %2."_s.arg(shownNumber(accepted.clamp->highest), accepted.clamp->meaning.toString());
        out.marks.append({ span, Problem::Clamped,
            number.asLooks ? u"The game "_s + uses : u"The game reads this as %1 and "_s.arg(reading) + uses });
    } else if (!number.asLooks) {
        out.marks.append({ span, Problem::NumberRead, u"The game reads this as %1."_s.arg(reading) });
    }
}

// "Not one of the game's gametypes (dm, tdm, ...); only a mod can add it."
QString modGametype(const QStringList &gametypes)
{
    return u"Not one of the game's gametypes (%1); only a mod can add it."_s.arg(gametypes.join(u", "_s));
}

// The rotation as the game walks it: a keyword, then its word.
void readRotation(QStringView line, Span valueText, const QStringList &gametypes, Reading &out)
{
    QList<Span> words;
    for (qsizetype i = valueText.start; i < valueText.end();) {
        while (i < valueText.end() && looksBlank(line[i]))
            ++i;
        const qsizetype start = i;
        while (i < valueText.end() && !looksBlank(line[i]))
            ++i;
        if (i > start)
            words.append({ start, i - start });
    }
    auto text = [line](Span span) { return line.sliced(span.start, span.length); };
    auto isKeyword
        = [&](Span span, QStringView keyword) { return text(span).compare(keyword, Qt::CaseInsensitive) == 0; };
    QString currentGametype;
    for (qsizetype k = 0; k < words.size(); ++k) {
        const Span word = words[k];
        const bool gametype = isKeyword(word, u"gametype");
        if (!gametype && !isKeyword(word, u"map")) {
            out.marks.append({ word, Problem::StrayWord,
                u"The rotation takes gametype or map here; the game does not know what to do with "_s
                    + Wording::shortened(text(word).toString()) });
            // A piece appended to a box that did not end in a blank: "map mp_harbor" + "map mp_dawnville ".
            const Span before = k > 0 ? words[k - 1] : Span();
            for (QStringView keyword : { u"map", u"gametype" }) {
                if (before.length > keyword.size() && text(before).endsWith(keyword, Qt::CaseInsensitive)) {
                    out.marks.append({ { before.end() - keyword.size(), keyword.size() }, Problem::GluedKeyword,
                        u"A blank seems to be missing before %1: the game reads %2 as one word."_s.arg(
                            text(before).last(keyword.size()), Wording::shortened(text(before).toString())) });
                }
            }
            continue;
        }
        if (k + 1 == words.size() || isKeyword(words[k + 1], u"gametype") || isKeyword(words[k + 1], u"map")) {
            out.marks.append({ word, Problem::MissingWord,
                gametype ? u"No gametype follows: the rotation needs one after gametype, such as dm."_s
                         : u"No map follows: the rotation needs one after map, such as mp_bocage."_s });
            continue;
        }
        const Span argument = words[++k];
        if (gametype && !gametypes.contains(text(argument), Qt::CaseInsensitive)) {
            out.marks.append({ argument, Problem::UnknownGametype, modGametype(gametypes) });
        }
        if (!gametype && isKeyword(argument, u"mp_")) {
            out.marks.append({ argument, Problem::UnnamedMap,
                u"The map has no name: mp_ needs the rest of it, as in mp_bocage."_s });
        } else if (gametype) {
            currentGametype = text(argument).toString();
        } else {
            out.maps.append({ argument, text(argument).toString(), currentGametype, true });
        }
    }
}

// A value against what the pages write for its variable.
void readValue(QStringView line, const ValueCatalogue::Accepted &accepted, const QString &value, Span valueText,
    Span marked, Reading &out)
{
    switch (accepted.kind) {
    case ValueCatalogue::Kind::Text: return;
    case ValueCatalogue::Kind::Whole:
    case ValueCatalogue::Kind::Decimal: return readNumberValue(accepted, value, marked, out);
    case ValueCatalogue::Kind::Gametype:
        // A mod's gametype is one word, as the game's own are.
        if (!value.isEmpty() && !std::any_of(value.begin(), value.end(), looksBlank)
            && !accepted.values.contains(value, Qt::CaseInsensitive)) {
            out.marks.append({ marked, Problem::UnknownGametype, modGametype(accepted.values) });
            return;
        }
        [[fallthrough]];
    case ValueCatalogue::Kind::Choice:
        if (!accepted.values.contains(value, Qt::CaseInsensitive)) {
            out.marks.append({ marked, Problem::NotAChoice,
                u"Not one of the values the page writes here: "_s + oneOf(accepted.values) });
        }
        return;
    case ValueCatalogue::Kind::Rotation: return readRotation(line, valueText, accepted.values, out);
    }
}

// seta sets a variable exactly as set does; it only marks it for the archive.
bool isSetCommand(QStringView command)
{
    return std::any_of(std::begin(setCommands), std::end(setCommands),
        [command](QStringView set) { return command.compare(set, Qt::CaseInsensitive) == 0; });
}

// A set, seta or sets line: what it looks like it sets against what the game sets.
void readSetLine(QStringView line, const Command &command, qsizetype end, const ValueCatalogue &values, Reading &out)
{
    const QList<Word> &words = command.words;
    const bool isSets = words[0].text.compare(u"sets", Qt::CaseInsensitive) == 0;
    auto mark = [&](Span span, Problem problem, const QString &sentence) {
        out.marks.append({ span, problem, sentence });
    };

    // The name as it looks: the second word, up to a blank or a quote.
    qsizetype nameStart = words[0].span.end();
    while (nameStart < end && looksBlank(line[nameStart]))
        ++nameStart;
    qsizetype nameEnd = nameStart;
    while (nameEnd < end && !looksBlank(line[nameEnd]) && line[nameEnd] != u'"')
        ++nameEnd;
    const Span name { nameStart, nameEnd - nameStart };
    if (name.length > 0)
        out.names.append(name);

    // The value as it looks: between the first and the last quote, or the rest.
    qsizetype valueStart = nameEnd;
    while (valueStart < end && looksBlank(line[valueStart]))
        ++valueStart;
    Span value;
    Span valueText;
    const QStringView looked = line.first(end);
    if (valueStart < end && line[valueStart] == u'"') {
        const qsizetype last = looked.lastIndexOf(u'"');
        const qsizetype close = last > valueStart ? last : end;
        value = { valueStart, std::min(close + 1, end) - valueStart };
        valueText = { valueStart + 1, close - valueStart - 1 };
    } else {
        qsizetype valueEnd = end;
        while (valueEnd > valueStart && looksBlank(line[valueEnd - 1]))
            --valueEnd;
        value = valueText = { valueStart, std::max<qsizetype>(valueEnd - valueStart, 0) };
    }

    const Span whole { words[0].span.start, std::max(value.end(), name.end()) - words[0].span.start };
    if (isSets && words.size() != 3) {
        mark(value.length > 0 ? value : whole, Problem::NothingSet, u"Nothing is set: sets takes exactly one value"_s);
        return;
    }
    if (words.size() < 3) {
        mark(whole, Problem::NothingSet,
            u"Nothing is set: %1 needs a name and a value"_s.arg(words[0].text.toString().toLower()));
        return;
    }
    const QString variable = words[1].text.toString();
    if (holdsAnyOf(variable, u"\\\";")) {
        mark(name.length > 0 ? name : words[1].span, Problem::InvalidName,
            u"Nothing is set: a variable name cannot hold \\, \" or ;"_s);
        return;
    }
    if (variable != line.sliced(name.start, name.length))
        mark(name.length > 0 ? name : words[1].span, Problem::OtherName,
            u"The game sets the variable: "_s + Wording::shortened(variable));
    const QString setValue = gameValue(words);
    if (setValue != line.sliced(valueText.start, valueText.length))
        mark(value, Problem::OtherValue, u"The game sets the value to: "_s + Wording::shortened(setValue));
    if (variable.compare(u"fs_game", Qt::CaseInsensitive) == 0) {
        mark(name, Problem::CommandLineOnly,
            u"The game takes fs_game only from the server's command line, so this changes nothing: start the "
            "server with +set fs_game %1"_s.arg(Wording::shortened(setValue)));
    }
    if (const ValueCatalogue::Accepted *accepted = isSets ? nullptr : values.find(variable)) {
        // What follows a cut is a command of its own, not part of the value.
        const Span valueRead { valueText.start,
            std::clamp(command.end - valueText.start, qsizetype(0), valueText.length) };
        readValue(line, *accepted, setValue, valueRead, valueText.length > 0 ? valueText : value, out);
    }

    const bool inInfo = isSets || std::any_of(std::begin(infoVariables), std::end(infoVariables), [&](QStringView v) {
        return variable.compare(v, Qt::CaseInsensitive) == 0;
    });
    if (!inInfo)
        return;
    if (!isSets)
        addColourRuns(line, valueText, out);
    const QString leftOut
        = u"The game sets %1, but leaves it out of the server info: "_s.arg(Wording::shortened(variable));
    if (holdsAnyOf(setValue, u"\\;\"")) {
        mark(value.length > 0 ? value : words[2].span, Problem::InfoRefused,
            leftOut + u"a value there cannot hold \\, ; or \""_s);
    } else if (holdsAnyOf(variable, u"\\;\"")) {
        mark(name, Problem::InfoRefused, leftOut + u"a key there cannot hold \\, ; or \""_s);
    } else if (2 + variable.size() + setValue.size() > maxInfoPairBytes) {
        mark(whole, Problem::InfoRefused,
            leftOut + u"an entry there is at most %1 bytes"_s.arg(Wording::thousands(maxInfoPairBytes)));
    }
}

void readLine(QStringView line, qsizetype offset, const ValueCatalogue &values, Reading &out)
{
    Reading reading;
    QList<Command> commands = splitCommands(line);
    for (Command &command : commands) {
        readWords(line, command, reading);
        if (!command.words.isEmpty())
            reading.commandWords.append(command.words[0].span);
        if (command.opener >= 0)
            markCommand(command, reading);
    }
    // A command after a ";" or a cut runs as a line of its own would.
    for (qsizetype k = 0; k < commands.size(); ++k) {
        const QList<Word> &words = commands[k].words;
        if (!words.isEmpty() && isSetCommand(words[0].text))
            readSetLine(line, commands[k], looksEnd(line, commands, k, reading), values, reading);
        if (words.size() >= 2
            && (words[0].text.compare(u"map", Qt::CaseInsensitive) == 0
                || words[0].text.compare(u"devmap", Qt::CaseInsensitive) == 0))
            reading.maps.append({ words[1].span, words[1].text.toString() });
    }

    auto moved = [offset](Span span) { return Span { span.start + offset, span.length }; };
    for (auto [from, to] :
        { std::pair { &reading.comments, &out.comments }, { &reading.commandWords, &out.commandWords },
            { &reading.names, &out.names }, { &reading.quoted, &out.quoted } }) {
        for (const Span &span : std::as_const(*from))
            to->append(moved(span));
    }
    for (const Mark &mark : std::as_const(reading.marks))
        out.marks.append({ moved(mark.span), mark.problem, mark.sentence });
    for (const ColourRun &run : std::as_const(reading.colours))
        out.colours.append({ moved(run.span), run.colour });
    for (const MapWord &map : std::as_const(reading.maps))
        out.maps.append({ moved(map.span), map.name, map.gametype, map.inRotation });
}

} // namespace

Reading read(QStringView text, const ValueCatalogue &values)
{
    Reading reading;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !LineBreaks::isLineBreak(text[i]))
            continue;
        readLine(text.sliced(start, i - start), start, values, reading);
        start = i + 1;
    }
    return reading;
}

namespace {

template<typename Item> const Item *itemAt(const QList<Item> &items, QStringView line, qsizetype position)
{
    const auto blank = [&](qsizetype i) { return line[i].unicode() <= u' '; };
    qsizetype start = std::clamp<qsizetype>(position, 0, line.size());
    qsizetype end = start;
    while (start > 0 && !blank(start - 1))
        --start;
    while (end < line.size() && !blank(end))
        ++end;
    const Item *found = nullptr;
    for (const Item &item : items) {
        const Span &span = item.span;
        const bool over
            = start == end ? span.start <= start && start <= span.end() : span.start < end && span.end() > start;
        const bool inner = !found || span.start > found->span.start
            || (span.start == found->span.start && span.length < found->span.length);
        if (over && inner)
            found = &item;
    }
    return found;
}

} // namespace

const Mark *markAt(const Reading &reading, QStringView line, qsizetype position)
{
    return itemAt(reading.marks, line, position);
}

const Note *noteAt(const Reading &reading, QStringView line, qsizetype position)
{
    return itemAt(reading.notes, line, position);
}

QList<ColourRun> colourRunsOf(QStringView text)
{
    Reading reading;
    addColourRuns(text, { 0, text.size() }, reading);
    return reading.colours;
}

QColor codeColour(int colour)
{
    static const QColor colours[]
        = { Qt::black, Qt::red, Qt::green, Qt::yellow, Qt::blue, Qt::cyan, Qt::magenta, Qt::white };
    return colours[((colour % 8) + 8) % 8];
}

} // namespace ConsoleReader

namespace ConsoleReader {

QList<QStringList> commandsOf(QStringView line, bool *plain)
{
    Reading reading;
    QList<QStringList> result;
    bool cut = false;
    for (Command &command : splitCommands(line)) {
        readWords(line, command, reading);
        cut = cut || command.cut;
        QStringList words;
        for (const Word &word : std::as_const(command.words))
            words << word.text.toString();
        result << words;
    }
    if (plain)
        *plain = !cut && reading.comments.isEmpty();
    return result;
}

} // namespace ConsoleReader
