#pragma once

#include "script/consolereader.h"
#include "script/valuecatalogue.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

// What a console command may do to the variables when it runs.
enum class Reach {
    None, // echo, wait, say, a command the game does not know
    Named, // toggle, reset, unset: reads and sets the variable it names
    Any, // exec, vstr, cvar_restart, quit and the map commands: may read and set anything
    Sets, // set, seta, sets with a name and a value
};
// `words` as ConsoleReader::commandsOf gives them.
Reach reachOf(const QStringList &words);

// A whole script as the game's console runs it, for what a line gets from
// the lines around it: a setting that a later line sets again, with no
// command between them that may read it, does nothing; a map or devmap
// command loads its map with the g_gametype an earlier line sets, when no
// command between them may change it. The lines are read once each and held
// by number, so a change of a few lines costs a few lines; ConsoleReader
// reads each line on its own.
class ScriptReader {
public:
    explicit ScriptReader(const ValueCatalogue &values = {});

    void readValuesBy(const ValueCatalogue &values) { m_values = values; }

    // `count` lines from `first` become `lines`. Returns the other lines
    // whose marks moved, appeared or went, as numbered now.
    QList<qsizetype> replaceLines(qsizetype first, qsizetype count, const QStringList &lines);
    qsizetype lineCount() const { return m_lines.size(); }

    // Line `line` (from 0), whose text is `text`, as the game reads it,
    // with the marks the lines after it give it and the gametype its map
    // commands load their maps with, where the script gives it.
    ConsoleReader::Reading read(qsizetype line, QStringView text) const;

    // Every line of `lines` read so.
    static QList<ConsoleReader::Reading> readAll(const QStringList &lines, const ValueCatalogue &values);

private:
    // A command's place in the script: its line, then its place among the line's commands that hold words.
    using Place = std::pair<qsizetype, qsizetype>;
    struct Setting {
        QString name; // lower case
        QString written; // as the line writes it
        QString value;
        qsizetype command;
    };
    struct Line {
        QList<Setting> settings;
        QList<std::pair<QString, qsizetype>> named; // by toggle, reset or unset, lower case
        QList<qsizetype> reachingAny;
        QList<qsizetype> loadingMap; // map or devmap with a map named

        // The same commands on the same variables: the other lines' marks stay as they were.
        bool sameShape(const Line &other) const;
    };
    static Line summaryOf(QStringView text);
    void index() const;
    // The setting a later line makes pointless, if any: that line's setting, and the last setting of the
    // variable before a command reads it.
    struct Again {
        qsizetype line;
        const Setting *kept;
    };
    std::optional<Again> setAgain(qsizetype line, const Setting &setting) const;
    QList<qsizetype> markedCommands(qsizetype line) const;
    // The g_gametype setting the command at `place` sees, when no command before it may have changed it.
    std::optional<Place> gametypeAt(Place place) const;
    const Setting &settingAt(Place place) const;
    // By map command of the line, the gametype it loads its map with; empty where the script does not tell.
    QStringList gametypesOfMaps(qsizetype line) const;

    ValueCatalogue m_values;
    QList<Line> m_lines;
    QList<QList<qsizetype>> m_marked; // by line, the commands marked as set again
    QList<QStringList> m_mapGametypes; // by line, gametypesOfMaps()
    // Rebuilt from m_lines when their shape changed.
    mutable QHash<QString, QList<Place>> m_setBy;
    mutable QHash<QString, QList<Place>> m_namedBy;
    mutable QList<Place> m_reachingAny;
    mutable bool m_indexed = false;
};
