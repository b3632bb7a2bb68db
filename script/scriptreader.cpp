#include "script/scriptreader.h"

#include "script/wording.h"

#include <algorithm>

using namespace Qt::StringLiterals;

Reach reachOf(const QStringList &words)
{
    if (words.isEmpty())
        return Reach::None;
    const QString command = words[0].toLower();
    static const QStringList any = { u"exec"_s, u"vstr"_s, u"cvar_restart"_s, u"quit"_s, u"map"_s, u"devmap"_s,
        u"map_rotate"_s, u"map_restart"_s, u"fast_restart"_s };
    if (any.contains(command))
        return Reach::Any;
    if (command == u"toggle" || command == u"reset" || command == u"unset")
        return words.size() >= 2 ? Reach::Named : Reach::None;
    const bool isSets = command == u"sets";
    if (!isSets && command != u"set" && command != u"seta")
        return Reach::None;
    const bool valueCounts = isSets ? words.size() == 3 : words.size() >= 3;
    const bool nameTaken = valueCounts && std::none_of(words[1].cbegin(), words[1].cend(), [](QChar c) {
        return c == u'\\' || c == u'"' || c == u';';
    });
    return nameTaken ? Reach::Sets : Reach::None;
}

namespace {

const QString gametypeVariable = u"g_gametype"_s;

bool loadsMap(const QStringList &words)
{
    return words.size() >= 2
        && (words[0].compare(u"map", Qt::CaseInsensitive) == 0
            || words[0].compare(u"devmap", Qt::CaseInsensitive) == 0);
}

} // namespace

ScriptReader::ScriptReader(const ValueCatalogue &values)
    : m_values(values)
{
}

bool ScriptReader::Line::sameShape(const Line &other) const
{
    if (named != other.named || reachingAny != other.reachingAny || settings.size() != other.settings.size())
        return false;
    for (qsizetype k = 0; k < settings.size(); ++k) {
        if (settings[k].name != other.settings[k].name || settings[k].command != other.settings[k].command)
            return false;
    }
    return true;
}

ScriptReader::Line ScriptReader::summaryOf(QStringView text)
{
    Line line;
    qsizetype command = 0;
    for (const QStringList &words : ConsoleReader::commandsOf(text)) {
        if (words.isEmpty())
            continue;
        switch (reachOf(words)) {
        case Reach::None: break;
        case Reach::Named: line.named.append({ words[1].toLower(), command }); break;
        case Reach::Any:
            line.reachingAny.append(command);
            if (loadsMap(words))
                line.loadingMap.append(command);
            break;
        case Reach::Sets: {
            const bool isSets = words[0].compare(u"sets", Qt::CaseInsensitive) == 0;
            line.settings.append(
                { words[1].toLower(), words[1], isSets ? words[2] : words.sliced(2).join(u' '), command });
            break;
        }
        }
        ++command;
    }
    return line;
}

void ScriptReader::index() const
{
    if (m_indexed)
        return;
    m_setBy.clear();
    m_namedBy.clear();
    m_reachingAny.clear();
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const Line &line = m_lines[i];
        for (const Setting &setting : line.settings)
            m_setBy[setting.name].append({ i, setting.command });
        for (const auto &[name, command] : line.named)
            m_namedBy[name].append({ i, command });
        for (qsizetype command : line.reachingAny)
            m_reachingAny.append({ i, command });
    }
    m_indexed = true;
}

std::optional<ScriptReader::Again> ScriptReader::setAgain(qsizetype line, const Setting &setting) const
{
    index();
    const Place here { line, setting.command };
    const QList<Place> &setters = m_setBy[setting.name];
    const auto next = std::upper_bound(setters.cbegin(), setters.cend(), here);
    if (next == setters.cend() || next->first == line)
        return std::nullopt;
    // The first command after this one that reads the variable.
    Place reader { m_lines.size(), 0 };
    const auto any = std::upper_bound(m_reachingAny.cbegin(), m_reachingAny.cend(), here);
    if (any != m_reachingAny.cend())
        reader = *any;
    if (const auto named = m_namedBy.constFind(setting.name); named != m_namedBy.cend()) {
        const auto first = std::upper_bound(named->cbegin(), named->cend(), here);
        if (first != named->cend())
            reader = std::min(reader, *first);
    }
    if (reader < *next)
        return std::nullopt;
    return Again { next->first, &settingAt(*(std::lower_bound(next, setters.cend(), reader) - 1)) };
}

QList<qsizetype> ScriptReader::markedCommands(qsizetype line) const
{
    QList<qsizetype> marked;
    for (const Setting &setting : m_lines[line].settings) {
        if (setAgain(line, setting))
            marked << setting.command;
    }
    return marked;
}

std::optional<ScriptReader::Place> ScriptReader::gametypeAt(Place place) const
{
    index();
    const auto setters = m_setBy.constFind(gametypeVariable);
    if (setters == m_setBy.cend())
        return std::nullopt;
    const auto next = std::lower_bound(setters->cbegin(), setters->cend(), place);
    if (next == setters->cbegin())
        return std::nullopt;
    const Place setting = *(next - 1);
    auto changesIt = [&](const QList<Place> &places) {
        const auto after = std::lower_bound(places.cbegin(), places.cend(), place);
        return after != places.cbegin() && *(after - 1) > setting;
    };
    const auto named = m_namedBy.constFind(gametypeVariable);
    if (changesIt(m_reachingAny) || (named != m_namedBy.cend() && changesIt(*named)))
        return std::nullopt;
    return setting;
}

const ScriptReader::Setting &ScriptReader::settingAt(Place place) const
{
    const QList<Setting> &settings = m_lines[place.first].settings;
    return *std::find_if(
        settings.cbegin(), settings.cend(), [&](const Setting &s) { return s.command == place.second; });
}

QStringList ScriptReader::gametypesOfMaps(qsizetype line) const
{
    QStringList gametypes;
    for (qsizetype command : m_lines[line].loadingMap) {
        const std::optional<Place> setting = gametypeAt({ line, command });
        gametypes << (setting ? settingAt(*setting).value : QString());
    }
    return gametypes;
}

QList<qsizetype> ScriptReader::replaceLines(qsizetype first, qsizetype count, const QStringList &lines)
{
    bool sameShape = count == lines.size();
    QList<Line> summaries;
    summaries.reserve(lines.size());
    for (qsizetype k = 0; k < lines.size(); ++k) {
        summaries.append(summaryOf(lines[k]));
        sameShape = sameShape && summaries.constLast().sameShape(m_lines[first + k]);
    }
    if (count != lines.size()) {
        m_lines.remove(first, count);
        m_lines.insert(first, lines.size(), Line());
        m_marked.remove(first, count);
        m_marked.insert(first, lines.size(), {});
        m_mapGametypes.remove(first, count);
        m_mapGametypes.insert(first, lines.size(), {});
    }
    std::move(summaries.begin(), summaries.end(), m_lines.begin() + first);

    QList<qsizetype> changed;
    const qsizetype end = first + lines.size();
    if (sameShape) {
        bool setsGametype = false;
        for (qsizetype k = first; k < end; ++k) {
            m_marked[k] = markedCommands(k);
            m_mapGametypes[k] = gametypesOfMaps(k);
            setsGametype = setsGametype
                || std::any_of(m_lines[k].settings.cbegin(), m_lines[k].settings.cend(),
                    [](const Setting &setting) { return setting.name == gametypeVariable; });
        }
        // A gametype set here reaches no further than the next command that may change it.
        if (!setsGametype)
            return changed;
        index();
        const auto next = std::lower_bound(m_reachingAny.cbegin(), m_reachingAny.cend(), Place { end, 0 });
        if (next == m_reachingAny.cend())
            return changed;
        QStringList gametypes = gametypesOfMaps(next->first);
        if (gametypes != m_mapGametypes[next->first]) {
            changed << next->first;
            m_mapGametypes[next->first] = std::move(gametypes);
        }
        return changed;
    }
    m_indexed = false;
    for (qsizetype k = 0; k < m_lines.size(); ++k) {
        QList<qsizetype> marked = markedCommands(k);
        QStringList gametypes = gametypesOfMaps(k);
        if ((marked != m_marked[k] || gametypes != m_mapGametypes[k]) && (k < first || k >= end))
            changed << k;
        m_marked[k] = std::move(marked);
        m_mapGametypes[k] = std::move(gametypes);
    }
    return changed;
}

ConsoleReader::Reading ScriptReader::read(qsizetype line, QStringView text) const
{
    ConsoleReader::Reading reading = ConsoleReader::read(text, m_values);
    if (line < 0 || line >= m_lines.size())
        return reading;
    if (!m_lines[line].loadingMap.isEmpty()) {
        for (ConsoleReader::MapWord &word : reading.maps) {
            if (word.inRotation)
                continue;
            // The word's command is the last to start before it.
            const auto after = std::upper_bound(reading.commandWords.cbegin(), reading.commandWords.cend(),
                word.span.start, [](qsizetype at, const ConsoleReader::Span &command) { return at < command.start; });
            if (const std::optional<Place> setting = gametypeAt({ line, after - reading.commandWords.cbegin() - 1 })) {
                word.gametype = settingAt(*setting).value;
                word.gametypeLine = setting->first;
            }
        }
    }
    if (m_marked[line].isEmpty())
        return reading;
    for (const Setting &setting : m_lines[line].settings) {
        const std::optional<Again> again = setAgain(line, setting);
        if (!again || setting.command >= reading.commandWords.size())
            continue;
        // From the command's first word to where the next command starts.
        const qsizetype start = reading.commandWords[setting.command].start;
        qsizetype end = setting.command + 1 < reading.commandWords.size()
            ? reading.commandWords[setting.command + 1].start
            : text.size();
        while (end > start && (text[end - 1].unicode() <= u' ' || text[end - 1] == u';'))
            --end;
        reading.marks.append({ { start, end - start }, ConsoleReader::Problem::SetAgain,
            u"Line %1 sets %2 again; the game keeps \"%3\"."_s.arg(
                QString::number(again->line + 1), setting.written, Wording::shortened(again->kept->value)) });
    }
    return reading;
}

QList<ConsoleReader::Reading> ScriptReader::readAll(const QStringList &lines, const ValueCatalogue &values)
{
    ScriptReader reader(values);
    reader.replaceLines(0, 0, lines);
    QList<ConsoleReader::Reading> readings;
    readings.reserve(lines.size());
    for (qsizetype k = 0; k < lines.size(); ++k)
        readings << reader.read(k, lines[k]);
    return readings;
}
