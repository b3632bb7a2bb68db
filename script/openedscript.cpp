#include "script/openedscript.h"

#include "script/consolereader.h"
#include "script/scriptreader.h"

#include <algorithm>

using namespace Qt::StringLiterals;

OpenedScript::OpenedScript(const QStringList &lines, const QStringList &ownComments, const ValueCatalogue &values)
    : m_lines(lines)
    , m_settings(run(lines, &m_shape))
{
    // A lone "//" is anyone's; the sections' headings are the window's own.
    const QSet<QString> own(ownComments.cbegin(), ownComments.cend());
    m_holdsOwnComments = std::any_of(
        lines.cbegin(), lines.cend(), [&](const QString &line) { return line != u"//" && own.contains(line); });
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const QString &line = m_lines[i];
        Line &shape = m_shape[i];
        if ((m_holdsOwnComments && own.contains(line)) || line.trimmed().isEmpty())
            shape.kind = Kind::Dropped;
        // The user sees the text and the mark that explains it.
        else if (shape.kind == Kind::Settings && !ConsoleReader::read(line, values).marks.isEmpty())
            shape.kind = Kind::Other;
    }
    if (!m_shape.isEmpty())
        m_stretches = m_shape.constLast().stretch + 1;
    m_sections = bestStretch();
}

QHash<QString, OpenedScript::Setting> OpenedScript::run(const QStringList &lines, QList<Line> *shape)
{
    QHash<QString, Setting> settings;
    int stretch = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        bool plain = true;
        const QList<QStringList> commands = ConsoleReader::commandsOf(lines[i], &plain);
        Line line;
        line.stretch = stretch;
        bool onlySettings = plain;
        for (const QStringList &words : commands) {
            if (words.isEmpty())
                continue;
            const Reach reach = reachOf(words);
            if (reach != Reach::Sets) {
                // Whatever another command names stays with it, a variable run as a command too.
                onlySettings = false;
                stretch += reach == Reach::Any ? 1 : 0;
                for (const QString &word : words.first(std::min<qsizetype>(words.size(), 2))) {
                    QList<qsizetype> &touches = settings[word.toLower()].touches;
                    if (touches.isEmpty() || touches.constLast() != i)
                        touches << i;
                }
                continue;
            }
            const QString command = words[0].toLower();
            const QString name = words[1].toLower();
            Setting &setting = settings[name];
            setting.value = command == u"sets" ? words[2] : words.sliced(2).join(u' ');
            setting.flags |= command == u"sets" ? InServerInfo : command == u"seta" ? Archived : 0;
            for (QList<qsizetype> *list : { &setting.lines, &setting.touches }) {
                if (list->isEmpty() || list->constLast() != i)
                    *list << i;
            }
            line.sets << name;
        }
        line.kind = onlySettings && !line.sets.isEmpty() ? Kind::Settings : Kind::Other;
        if (shape)
            shape->append(line);
    }
    // Names that other commands only named set nothing.
    settings.removeIf([](const auto &entry) { return entry.value().lines.isEmpty(); });
    return settings;
}

bool OpenedScript::takeable(const Setting &setting, int stretch) const
{
    return !(setting.flags & Archived) && lastStretch(setting) == stretch
        && std::all_of(setting.touches.cbegin(), setting.touches.cend(),
            [&](qsizetype line) { return m_shape[line].stretch != stretch || m_shape[line].kind != Kind::Other; });
}

// The stretch where the pages can take the most of what they ask for (of
// everything, before they asked), the earliest of equals. A row that writes
// its variable whatever the file holds stands neither after the file's last
// word on it nor between two of the file's words, unless the file has a word
// after it in the same stretch.
int OpenedScript::bestStretch() const
{
    QList<bool> allowed(m_stretches, true);
    for (const QString &name : m_writtenAlways) {
        const auto found = m_settings.constFind(name);
        if (found == m_settings.cend())
            continue;
        QList<bool> touched(m_stretches, false);
        for (qsizetype line : found->touches)
            touched[m_shape[line].stretch] = true;
        const int first = m_shape[found->touches.constFirst()].stretch;
        for (int stretch = 0; stretch < m_stretches; ++stretch)
            allowed[stretch]
                = allowed[stretch] && stretch <= lastStretch(*found) && (stretch <= first || touched[stretch]);
    }
    QList<int> counts(m_stretches, 0);
    for (auto it = m_settings.cbegin(); it != m_settings.cend(); ++it) {
        if ((m_asked.isEmpty() || m_asked.contains(it.key())) && takeable(*it, lastStretch(*it)))
            ++counts[lastStretch(*it)];
    }
    int best = 0;
    for (int stretch = 1; stretch < m_stretches; ++stretch) {
        if (allowed[stretch] && (!allowed[best] || counts[stretch] > counts[best]))
            best = stretch;
    }
    return best;
}

std::optional<QString> OpenedScript::ask(QStringView variable)
{
    const QString name = variable.toString().toLower();
    m_asked.insert(name);
    const auto found = m_settings.constFind(name);
    if (found == m_settings.cend() || m_left.contains(name) || !takeable(*found, m_sections))
        return std::nullopt;
    return found->value;
}

bool OpenedScript::offer(const QStringList &variables, const QString &written)
{
    const QHash<QString, Setting> writes = run(written.split(u'\n', Qt::SkipEmptyParts));
    if (writes.size() != variables.size())
        return false;
    for (const QString &variable : variables) {
        const QString name = variable.toLower();
        const auto wrote = writes.constFind(name);
        const auto file = m_settings.constFind(name);
        if (wrote == writes.cend() || file == m_settings.cend() || !ask(name) || wrote->value != file->value
            || wrote->flags != file->flags)
            return false;
    }
    for (const QString &variable : variables)
        m_offered.insert(variable.toLower());
    return true;
}

bool OpenedScript::dropped(qsizetype line) const
{
    const Line &shape = m_shape[line];
    if (shape.kind != Kind::Settings)
        return shape.kind == Kind::Dropped;
    return shape.stretch == m_sections
        && std::all_of(
            shape.sets.cbegin(), shape.sets.cend(), [this](const QString &name) { return m_offered.contains(name); });
}

bool OpenedScript::settle()
{
    const qsizetype before = m_left.size();
    const int stretch = m_sectionsPlaced ? m_sections : bestStretch();
    m_sectionsPlaced = true;
    if (stretch == m_sections) {
        for (const QString &name : std::as_const(m_offered)) {
            const QList<qsizetype> &lines = m_settings[name].lines;
            if (!std::all_of(lines.cbegin(), lines.cend(),
                    [this](qsizetype line) { return m_shape[line].stretch != m_sections || dropped(line); }))
                m_left.insert(name);
        }
        if (m_left.size() == before)
            return true;
    }
    m_sections = stretch;
    m_offered.clear();
    m_startValues = 0;
    return false;
}

QStringList OpenedScript::keptLines() const
{
    QStringList kept;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        if (!dropped(i))
            kept << m_lines[i];
    }
    return kept;
}

qsizetype OpenedScript::keptBeforeSections() const
{
    qsizetype before = 0;
    for (qsizetype i = 0; i < m_lines.size() && m_shape[i].stretch < m_sections; ++i)
        before += dropped(i) ? 0 : 1;
    return before;
}
