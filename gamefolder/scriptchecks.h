#pragma once

#include "gamefolder/gamefolder.h"
#include "script/scriptreader.h"

#include <functional>
#include <memory>

// The one list of checks that the editor and --check both run on a script:
// how the console reads each line, with what the lines around it and the
// scripts its execs run make of it (ScriptReader), then, on the server of a
// game folder, its maps against the folder's (addMapMarks) and its gametypes
// against the mods' (addGametypeMarks). The same for every line of every
// script its execs reach, so that a list of marks can hold all of them.
class ScriptChecks {
public:
    using Folder = std::shared_ptr<const GameFolder::Contents>;

    // Whether a script is checked against `folder`: a folder that is no game folder checks nothing.
    static bool checks(const GameFolder::Contents *folder) { return folder && folder->gameFolder; }

    explicit ScriptChecks(const ValueCatalogue &values = {});

    void readValuesBy(const ValueCatalogue &values);
    // As ScriptReader's: how many bytes each line break of the script takes in exec's buffer.
    void readBreaksAs(ExecSize::Breaks breaks) { m_reader.readBreaksAs(breaks); }
    // Checks the script, lying at `scriptPath` (none before it is saved), on
    // the server of `folder`; none, or no game folder: only what the script
    // itself tells.
    void checkAgainst(Folder folder, const QString &scriptPath = {});
    // The folder checked against, when checks() takes it.
    const GameFolder::Contents *folder() const { return m_folder.get(); }

    // As ScriptReader's.
    QList<qsizetype> replaceLines(qsizetype first, qsizetype count, const QStringList &lines);
    qsizetype lineCount() const { return m_reader.lineCount(); }

    // Line `line` of the script, whose text is `text`, with every mark the checks give it; an exec that runs a
    // script with marks says how many.
    ConsoleReader::Reading read(qsizetype line, QStringView text) const;

    // The scripts the script's execs reach, as ScriptReader::reachedScripts().
    const QList<ScriptReader::ExecScript> &reachedScripts() const;
    // Line `line` of reached script `script` with every mark the checks give it.
    ConsoleReader::Reading readReached(qsizetype script, qsizetype line) const;
    QList<ScriptReader::Unfollowed> unfollowed() const { return m_reader.unfollowed(); }
    // How many marks reached script `script` holds.
    qsizetype marksIn(qsizetype script) const;

    // The reached script that the exec on `text` (line `line`) at `position` runs, or the line's first exec
    // where `position` is on none; -1 where it runs none.
    qsizetype execTarget(qsizetype line, QStringView text, qsizetype position = -1) const;

    // A mark where it stands: in the script (`script` -1) or in a reached script.
    struct Found {
        qsizetype script;
        qsizetype line;
        ConsoleReader::Mark mark;
    };
    // Every mark in the order the game runs them: each line's (`own` gives the
    // script's, by line, for the `lines` given to replaceLines), then those of
    // the scripts that line's execs run first, line by line.
    QList<Found> marksInRunOrder(
        const QStringList &lines, const std::function<QList<ConsoleReader::Mark>(qsizetype)> &own) const;

private:
    // The reached scripts the execs of a line run first, by their index.
    struct Reached {
        QList<ScriptReader::ExecScript> scripts;
        QHash<QString, qsizetype> byKey;
        mutable QHash<qsizetype, qsizetype> marks; // by script, once counted
    };
    const Reached &reached() const;
    // The commands of `text` that exec, by their place among the line's commands, with the name typed.
    static QList<std::pair<qsizetype, QString>> execsOf(QStringView text);
    qsizetype scriptTyped(const QString &typed) const;
    void forget() { m_reached.reset(); }

    ScriptReader m_reader;
    Folder m_folder;
    std::shared_ptr<const ScriptReader::Server> m_server;
    mutable std::unique_ptr<Reached> m_reached; // until the script or the folder changes
};
