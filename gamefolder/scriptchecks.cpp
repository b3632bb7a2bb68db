#include "gamefolder/scriptchecks.h"

#include "gamefolder/mapmarks.h"
#include "gamefolder/serverscripts.h"
#include "script/execname.h"
#include "script/wording.h"

using namespace Qt::StringLiterals;

namespace {

// The marks the server's folder gives a line: its maps, and the gametypes its mods add.
void addFolderMarks(ConsoleReader::Reading &reading, QStringView text, const GameFolder::Contents &folder)
{
    GameFolder::addMapMarks(reading, folder);
    if (folder.scripts)
        addGametypeMarks(reading, text, *folder.scripts);
}

} // namespace

ScriptChecks::ScriptChecks(const ValueCatalogue &values)
    : m_reader(values)
{
}

void ScriptChecks::readValuesBy(const ValueCatalogue &values)
{
    m_reader.readValuesBy(values);
    forget();
}

void ScriptChecks::checkAgainst(Folder folder, const QString &scriptPath)
{
    m_folder = checks(folder.get()) ? std::move(folder) : nullptr;
    m_server = m_folder && m_folder->scripts ? ServerScripts::serverFor(m_folder->scripts, scriptPath) : nullptr;
    m_reader.readOn(m_server);
    forget();
}

QList<qsizetype> ScriptChecks::replaceLines(qsizetype first, qsizetype count, const QStringList &lines)
{
    forget();
    return m_reader.replaceLines(first, count, lines);
}

const ScriptChecks::Reached &ScriptChecks::reached() const
{
    if (!m_reached) {
        m_reached = std::make_unique<Reached>();
        if (m_server) {
            m_reached->scripts = m_reader.reachedScripts();
            for (qsizetype k = 0; k < m_reached->scripts.size(); ++k)
                m_reached->byKey.insert(m_reached->scripts[k].key, k);
        }
    }
    return *m_reached;
}

const QList<ScriptReader::ExecScript> &ScriptChecks::reachedScripts() const
{
    return reached().scripts;
}

ConsoleReader::Reading ScriptChecks::readReached(qsizetype script, qsizetype line) const
{
    ConsoleReader::Reading reading = m_reader.readReached(script, line);
    const ScriptReader::ExecScript &found = reached().scripts[script];
    if (!found.stock)
        addFolderMarks(reading, found.lines[line], *m_folder);
    return reading;
}

qsizetype ScriptChecks::marksIn(qsizetype script) const
{
    const Reached &known = reached();
    if (const auto counted = known.marks.constFind(script); counted != known.marks.cend())
        return *counted;
    qsizetype count = 0;
    for (qsizetype line = 0; line < known.scripts[script].lines.size(); ++line)
        count += readReached(script, line).marks.size();
    known.marks.insert(script, count);
    return count;
}

QList<std::pair<qsizetype, QString>> ScriptChecks::execsOf(QStringView text)
{
    QList<std::pair<qsizetype, QString>> execs;
    qsizetype command = 0;
    for (const QStringList &words : ConsoleReader::commandsOf(text)) {
        if (words.isEmpty())
            continue;
        if (words[0].compare(u"exec", Qt::CaseInsensitive) == 0)
            execs.append({ command, words.value(1) });
        ++command;
    }
    return execs;
}

qsizetype ScriptChecks::scriptTyped(const QString &typed) const
{
    const ExecName::Target target = ExecName::of(typed);
    if (!m_server || target.refusal != ExecName::Refusal::None)
        return -1;
    const std::optional<ScriptReader::ExecScript> found = m_server->lookup(target.path);
    return found ? reached().byKey.value(found->key, -1) : -1;
}

ConsoleReader::Reading ScriptChecks::read(qsizetype line, QStringView text) const
{
    ConsoleReader::Reading reading = m_reader.read(line, text);
    if (!m_folder)
        return reading;
    addFolderMarks(reading, text, *m_folder);
    if (reading.notes.isEmpty())
        return reading;
    for (const auto &[command, typed] : execsOf(text)) {
        const qsizetype script = scriptTyped(typed);
        const qsizetype marks = script < 0 || command >= reading.commandWords.size() ? 0 : marksIn(script);
        if (marks == 0)
            continue;
        // The note of what the exec finds comes first among the exec's.
        const qsizetype start = reading.commandWords[command].start;
        const auto note = std::find_if(reading.notes.begin(), reading.notes.end(),
            [start](const ConsoleReader::Note &note) { return note.span.start == start; });
        if (note != reading.notes.end())
            note->sentence += u", "_s + Wording::counted(marks, u"mark", u"marks");
    }
    return reading;
}

qsizetype ScriptChecks::execTarget(qsizetype line, QStringView text, qsizetype position) const
{
    const QList<std::pair<qsizetype, QString>> execs = execsOf(text);
    if (execs.isEmpty() || !m_server)
        return -1;
    const ConsoleReader::Reading reading = m_reader.read(line, text);
    // The command the position stands in: the last to start at or before it.
    const auto after = std::upper_bound(reading.commandWords.cbegin(), reading.commandWords.cend(), position,
        [](qsizetype at, const ConsoleReader::Span &command) { return at < command.start; });
    const qsizetype command = after - reading.commandWords.cbegin() - 1;
    const auto exec
        = std::find_if(execs.cbegin(), execs.cend(), [command](const auto &e) { return e.first == command; });
    return scriptTyped(exec == execs.cend() ? execs.constFirst().second : exec->second);
}

QList<ScriptChecks::Found> ScriptChecks::marksInRunOrder(
    const QStringList &lines, const std::function<QList<ConsoleReader::Mark>(qsizetype)> &own) const
{
    // The reached scripts stand in the order first run, so each line whose exec runs a script first starts the
    // stretch of them that runs there.
    const qsizetype reachedCount = reached().scripts.size();
    QList<std::pair<qsizetype, qsizetype>> starts; // the line, and the first script its execs run first
    for (qsizetype line = 0, next = 0; line < lines.size() && next < reachedCount; ++line) {
        if (!lines[line].contains(u"exec"_s, Qt::CaseInsensitive))
            continue;
        for (const auto &[command, typed] : execsOf(lines[line])) {
            if (const qsizetype script = scriptTyped(typed); script >= next) {
                starts.append({ line, script });
                next = script + 1;
            }
        }
    }
    QList<Found> found;
    auto addScripts = [&](qsizetype from, qsizetype to) {
        for (qsizetype script = from; script < to; ++script) {
            for (qsizetype line = 0; line < reached().scripts[script].lines.size(); ++line) {
                for (const ConsoleReader::Mark &mark : readReached(script, line).marks)
                    found.append({ script, line, mark });
            }
        }
    };
    qsizetype start = 0;
    addScripts(0, starts.isEmpty() ? reachedCount : starts.constFirst().second);
    for (qsizetype line = 0; line < lines.size(); ++line) {
        for (const ConsoleReader::Mark &mark : own(line))
            found.append({ -1, line, mark });
        for (; start < starts.size() && starts[start].first == line; ++start)
            addScripts(starts[start].second, start + 1 < starts.size() ? starts[start + 1].second : reachedCount);
    }
    return found;
}
