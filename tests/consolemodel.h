#pragma once

// The tests' own model of how the game's console runs a script, to judge an
// opened script against the one "Finish!" writes from it: what each command
// that reads variables sees when it runs, and what every variable ends with,
// its flags included. Lines are cut into commands and words by
// ConsoleReader::commandsOf, which has tests of its own.

#include "script/consolereader.h"

#include <QHash>
#include <QSet>
#include <QStringList>

namespace ConsoleModel {

using namespace Qt::StringLiterals;

struct Variable {
    QString value;
    QString flags; // "a" for seta, "s" for sets; the game never takes a flag away

    friend bool operator==(const Variable &, const Variable &) = default;
};

struct Run {
    QStringList seen; // each reading command with what it saw of the variables that matter
    QList<QSet<QString>> setAtSeen; // the variables set when each of them ran
    QHash<QString, Variable> variables; // by lower-case name
};

// A variable `original` had not set yet counts as unset, where `writtenAlways` says the pages write it
// whatever the file holds.
using WrittenAlways = bool (*)(const QString &name);

inline QString shownVariables(const QHash<QString, Variable> &variables, const QSet<QString> &matter)
{
    QStringList shown;
    for (auto it = variables.cbegin(); it != variables.cend(); ++it) {
        if (matter.contains(it.key()))
            shown << it.key() + u'=' + it->value + u'/' + it->flags;
    }
    shown.sort();
    return shown.join(u' ');
}

// Runs `lines`; `matter` limits what the reading commands are seen to see.
// `setSoFar`, when given, has each reading command see only the variables
// another run had set at the same command.
inline Run run(const QStringList &lines, const QSet<QString> &matter, const Run *setSoFar = nullptr,
    WrittenAlways writtenAlways = nullptr)
{
    static const QStringList readsAll = { u"exec"_s, u"vstr"_s, u"cvar_restart"_s, u"quit"_s, u"map"_s, u"devmap"_s,
        u"map_rotate"_s, u"map_restart"_s, u"fast_restart"_s };
    Run result;
    for (const QString &line : lines) {
        for (const QStringList &words : ConsoleReader::commandsOf(line)) {
            if (words.isEmpty())
                continue;
            const QString command = words[0].toLower();
            const QString name = words.value(1).toLower();
            if (readsAll.contains(command)) {
                QSet<QString> shown = matter;
                if (setSoFar && writtenAlways) {
                    const QSet<QString> other = setSoFar->setAtSeen.value(result.seen.size());
                    shown.removeIf([&](const QString &name) { return writtenAlways(name) && !other.contains(name); });
                }
                result.seen << words.join(u' ') + u": "_s + shownVariables(result.variables, shown);
                result.setAtSeen << QSet<QString>(result.variables.keyBegin(), result.variables.keyEnd());
            } else if (command == u"set" || command == u"seta" || command == u"sets") {
                const bool oneValue = command == u"sets";
                if ((oneValue ? words.size() != 3 : words.size() < 3) || name.contains(u'"') || name.contains(u';')
                    || name.contains(u'\\'))
                    continue;
                Variable &variable = result.variables[name];
                variable.value = oneValue ? words[2] : words.sliced(2).join(u' ');
                const QString flag = command == u"seta" ? u"a"_s : command == u"sets" ? u"s"_s : QString();
                if (!flag.isEmpty() && !variable.flags.contains(flag)) {
                    variable.flags += flag;
                    std::sort(variable.flags.begin(), variable.flags.end());
                }
            } else if ((command == u"toggle" || command == u"reset" || command == u"unset") && !name.isEmpty()) {
                Variable &variable = result.variables[name];
                if (matter.contains(name)) {
                    result.seen << command + u' ' + name + u": "_s + variable.value;
                    result.setAtSeen << QSet<QString>();
                }
                if (command == u"toggle")
                    variable.value = variable.value.toDouble() != 0 ? u"0"_s : u"1"_s;
                else if (command == u"reset")
                    variable.value = u"<default>"_s;
                else
                    result.variables.remove(name);
            }
        }
    }
    return result;
}

// The first thing `regenerated` runs otherwise than `original`, for the
// variables `original` sets or names, or nothing. `added` gets the variables
// only `regenerated` sets.
inline QString difference(const QStringList &original, const QStringList &regenerated, QStringList *added = nullptr,
    WrittenAlways writtenAlways = nullptr)
{
    QSet<QString> matter;
    for (const QString &line : original) {
        for (const QStringList &words : ConsoleReader::commandsOf(line)) {
            if (words.size() >= 2)
                matter << words[1].toLower();
        }
    }
    const Run before = run(original, matter);
    const Run after = run(regenerated, matter, &before, writtenAlways);
    for (qsizetype k = 0; k < std::max(before.seen.size(), after.seen.size()); ++k) {
        if (before.seen.value(k) != after.seen.value(k))
            return u"the file's \"%1\" became \"%2\""_s.arg(before.seen.value(k), after.seen.value(k));
    }
    for (auto it = before.variables.cbegin(); it != before.variables.cend(); ++it) {
        const Variable ended = after.variables.value(it.key(), { u"<unset>"_s, {} });
        if (ended != *it)
            return u"%1: \"%2\" (%3) became \"%4\" (%5)"_s.arg(
                it.key(), it->value, it->flags, ended.value, ended.flags);
    }
    for (auto it = after.variables.cbegin(); added && it != after.variables.cend(); ++it) {
        if (!before.variables.contains(it.key()))
            *added << it.key();
    }
    return {};
}

} // namespace ConsoleModel
