#include "script/openedscript.h"

#include "script/consolereader.h"

#include <algorithm>

using namespace Qt::StringLiterals;

OpenedScript::OpenedScript(const QStringList &lines, const QStringList &ownComments)
    : m_lines(lines)
    , m_settings(run(lines, &m_shape))
{
    const QSet<QString> own(ownComments.cbegin(), ownComments.cend());
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const QString &line = m_lines[i];
        if (own.contains(line)) {
            m_shape[i].kind = Kind::Dropped;
            m_holdsOwnComments = true;
        } else if (line.trimmed().isEmpty()) {
            m_shape[i].kind = Kind::Dropped;
        }
    }
}

QHash<QString, OpenedScript::Setting> OpenedScript::run(const QStringList &lines, QList<Line> *shape)
{
    QHash<QString, Setting> settings;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        bool plain = true;
        const QList<QStringList> commands = ConsoleReader::commandsOf(lines[i], &plain);
        Line line;
        bool onlySettings = plain;
        for (const QStringList &words : commands) {
            if (words.isEmpty())
                continue;
            const QString command = words[0].toLower();
            const bool isSets = command == u"sets";
            const bool sets = isSets || command == u"set" || command == u"seta";
            const bool valid = sets && (isSets ? words.size() == 3 : words.size() >= 3)
                && std::none_of(
                    words[1].cbegin(), words[1].cend(), [](QChar c) { return c == u'\\' || c == u'"' || c == u';'; });
            if (!valid) {
                // Another command, or one that sets nothing: whatever it names stays with it.
                onlySettings = false;
                for (const QString &word : words.first(std::min<qsizetype>(words.size(), 2)))
                    line.named << word.toLower();
                continue;
            }
            const QString name = words[1].toLower();
            Setting &setting = settings[name];
            setting.value = isSets ? words[2] : words.sliced(2).join(u' ');
            setting.info = isSets;
            if (setting.lines.isEmpty() || setting.lines.constLast() != i)
                setting.lines << i;
            line.sets << name;
        }
        line.kind = onlySettings && !line.sets.isEmpty() ? Kind::Settings : Kind::Other;
        if (shape)
            shape->append(line);
    }
    return settings;
}

QHash<QString, QString> OpenedScript::finalValues(const QStringList &lines)
{
    QHash<QString, QString> values;
    const QHash<QString, Setting> settings = run(lines);
    for (auto it = settings.cbegin(); it != settings.cend(); ++it)
        values.insert(it.key(), it->value);
    return values;
}

std::optional<QString> OpenedScript::value(QStringView variable) const
{
    const QString name = variable.toString().toLower();
    const auto found = m_settings.constFind(name);
    if (found == m_settings.cend() || m_left.contains(name))
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
        if (wrote == writes.cend() || file == m_settings.cend() || m_left.contains(name) || wrote->value != file->value
            || wrote->info != file->info)
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
    return std::all_of(
        shape.sets.cbegin(), shape.sets.cend(), [this](const QString &name) { return m_offered.contains(name); });
}

bool OpenedScript::settle()
{
    const qsizetype before = m_left.size();
    for (const QString &name : std::as_const(m_offered)) {
        const QList<qsizetype> &lines = m_settings[name].lines;
        if (!std::all_of(lines.cbegin(), lines.cend(), [this](qsizetype line) { return dropped(line); }))
            m_left.insert(name);
    }
    for (const Line &line : std::as_const(m_shape)) {
        for (const QString &name : line.named) {
            if (m_offered.contains(name))
                m_left.insert(name);
        }
    }
    if (m_left.size() == before)
        return true;
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
