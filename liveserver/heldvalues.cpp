#include "liveserver/heldvalues.h"

#include "script/consolereader.h"
#include "script/scriptreader.h"

using namespace Qt::StringLiterals;

namespace HeldValues {

QList<Setting> finalSettings(const QStringList &lines)
{
    QHash<QString, Setting> last;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QList<QStringList> commands = ConsoleReader::commandsOf(lines[i]);
        // The k-th command that holds words starts at the k-th command word.
        const QList<ConsoleReader::Span> starts = ConsoleReader::read(lines[i]).commandWords;
        qsizetype worded = 0;
        for (const QStringList &words : commands) {
            if (words.isEmpty())
                continue;
            const qsizetype column = worded < starts.size() ? starts[worded].start : 0;
            ++worded;
            if (reachOf(words) != Reach::Sets)
                continue;
            const bool isSets = words[0].compare(u"sets", Qt::CaseInsensitive) == 0;
            last.insert(
                words[1].toLower(), { words[1], isSets ? words[2] : words.sliced(2).join(u' '), words[0], i, column });
        }
    }
    QList<Setting> settings = last.values();
    std::sort(settings.begin(), settings.end(),
        [](const Setting &a, const Setting &b) { return std::pair(a.line, a.column) < std::pair(b.line, b.column); });
    return settings;
}

bool isPassword(QStringView name)
{
    return name.compare(u"rconpassword", Qt::CaseInsensitive) == 0;
}

std::optional<QString> passwordOf(const QList<Setting> &settings)
{
    for (const Setting &setting : settings) {
        if (isPassword(setting.name) && !setting.value.isEmpty())
            return setting.value;
    }
    return std::nullopt;
}

QList<Difference> differences(const QList<Setting> &settings, const HeldByName &held)
{
    QList<Difference> found;
    for (const Setting &setting : settings) {
        const auto at = held.constFind(setting.name.toLower());
        if (at == held.cend() || isPassword(setting.name))
            continue;
        if (!at->exists || at->value != setting.value)
            found.append({ setting, *at });
    }
    return found;
}

HeldByName fromInfo(const QList<std::pair<QString, QString>> &info)
{
    HeldByName held;
    for (const auto &[key, value] : info)
        held.insert(key.toLower(), { true, value });
    return held;
}

} // namespace HeldValues
