#pragma once

#include "script/consolereader.h"
#include "script/execsize.h"
#include "script/valuecatalogue.h"
#include "script/variableuse.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <compare>
#include <deque>
#include <functional>
#include <limits>
#include <memory>
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
//
// On a server whose files are known (see Server), exec runs the script it
// finds in place, as the game's exec puts the script's text at the front of
// its command buffer, and those scripts' own execs in turn: a setting there
// counts where it runs, and the server's start-up scripts run before the
// script. Each script exec finds is read once. A variable set that nothing on
// the server reads is marked too.
class ScriptReader {
public:
    // A script that exec finds on the server.
    struct ExecScript {
        QString key; // the same for the same file, however it was named
        QString path; // as the search found it, "/" between folders
        QString archive; // the archive that holds it, as the status bar names it; empty for a loose file
        QString folder; // the game or mod folder it lies in, by name
        QString file; // where marks name it: ARCHIVE.pk3:PATH, or the loose file's path
        QStringList lines; // empty where it is larger than exec takes
        QList<qsizetype> lineEnds = {}; // where each line ends, its line break included; none: one byte a break
        qint64 bytes = 0;
        bool stock = false; // one of the game's own: nothing in it is marked
        bool kept = true; // false where its text was left unread, as the folder's scripts held too much
    };
    // The script at a path (ExecName's), as the game's search finds it; none where it finds nothing.
    using ExecLookup = std::function<std::optional<ExecScript>(const QString &path)>;

    struct Server {
        ExecLookup lookup;
        QString scriptKey; // the key the lookup gives the script read, where it lies on the server
        QString scriptName; // how sentences name it
        std::shared_ptr<const VariableUse> variables;
    };

    explicit ScriptReader(const ValueCatalogue &values = {});

    void readValuesBy(const ValueCatalogue &values) { m_values = values; }
    // What a line break of the script read takes in the command buffer: two bytes as the editor saves it, by
    // default, or one where it is read as a file holding LF ends.
    void readBreaksAs(ExecSize::Breaks breaks) { m_breakBytes = breaks == ExecSize::Breaks::Saved ? 2 : 1; }
    // Follows exec through `server`'s scripts, and marks what nothing there
    // reads; none: exec may do anything, and a mod may read anything.
    void readOn(std::shared_ptr<const Server> server);

    // `count` lines from `first` become `lines`. Returns the other lines
    // whose marks moved, appeared or went, as numbered now.
    QList<qsizetype> replaceLines(qsizetype first, qsizetype count, const QStringList &lines);
    qsizetype lineCount() const { return m_lines.size(); }

    // Line `line` (from 0), whose text is `text`, as the game reads it,
    // with the marks the lines after it give it and the gametype its map
    // commands load their maps with, where the script gives it; on a server,
    // with what its execs find.
    ConsoleReader::Reading read(qsizetype line, QStringView text) const;

    // The scripts the script's execs reach, in the order first reached; the
    // start-up scripts' own are left out.
    QList<ExecScript> reachedScripts() const;
    // Line `line` of the reached script `script` (an index of
    // reachedScripts()) as read() reads the script's own lines: each mark
    // there holds wherever the script runs.
    ConsoleReader::Reading readReached(qsizetype script, qsizetype line) const;
    // What exec was not followed into, on the line of the exec: a chain
    // deeper than is read, or the exec where the read stopped; `script` is an
    // index of reachedScripts(), or -1 for the script read.
    struct Unfollowed {
        qsizetype script;
        qsizetype line;
        QString sentence;
    };
    QList<Unfollowed> unfollowed() const;

    // Every line of `lines` read so.
    static QList<ConsoleReader::Reading> readAll(
        const QStringList &lines, const ValueCatalogue &values, std::shared_ptr<const Server> server = nullptr);

    // Scripts deeper in an exec chain are not followed.
    static constexpr int deepestExec = 64;
    // What one read follows at most, in commands: each command a script runs through exec, wherever it is
    // counted again (the script read, each script between), each exec followed, whatever it finds, and each
    // failure kept. A read that reaches it stops following exec, says so once, and withholds the marks it
    // cannot decide.
    static constexpr qsizetype mostWork = 200'000;

private:
    // A command's place as the game runs it: its line, then its place among the line's commands that hold
    // words, then, for a command that an exec of that command runs, its place in that run from 1. The line
    // -1 stands for the start-up scripts.
    struct Place {
        qsizetype line = 0;
        qsizetype command = 0;
        qsizetype step = 0;
        auto operator<=>(const Place &) const = default;
    };
    struct Setting {
        QString name; // lower case
        QString written; // as the line writes it
        QString value;
        qsizetype command;
        bool isSets;
    };
    struct Exec {
        qsizetype command;
        QString typed;
        friend bool operator==(const Exec &, const Exec &) = default;
    };
    struct Line {
        QList<Setting> settings;
        QList<std::pair<QString, qsizetype>> named; // by toggle, reset or unset, lower case
        QList<qsizetype> reachingAny;
        QList<qsizetype> loadingMap; // map or devmap with a map named
        QList<Exec> execs;
        QList<qsizetype> restOfLine; // by exec, the bytes of the line's commands after it
        qsizetype bytes = 0; // of its text
        QStringList vstrs; // the variables vstr runs, in its commands or in the values it sets, lower case

        // The same commands on the same variables: the other lines' marks stay as they were.
        bool sameShape(const Line &other) const;
    };
    static Line summaryOf(QStringView text);

    // Where a command of a script exec runs stands: -1 for the script read.
    struct Origin {
        qsizetype script = -1;
        qsizetype line = 0;
        qsizetype command = 0;
        friend bool operator==(const Origin &, const Origin &) = default;
    };
    friend size_t qHash(const Origin &origin, size_t seed)
    {
        return qHashMulti(seed, origin.script, origin.line, origin.command);
    }
    enum class Kind { Setting, Named, Any };
    struct Step {
        Origin origin;
        Kind kind;
        qsizetype item; // of the line's settings or named
    };
    // What exec does instead of running a script as written.
    enum class Outcome {
        Runs,
        Missing, // nothing runs
        Refused, // nothing runs
        TooLarge, // nothing runs
        Overflows, // nothing runs: with what waits in the command buffer, larger than it holds
        Loop,
        TooDeep, // not followed
        TooMany, // not followed
        NotKept, // not followed: its text was left unread
        Unknown, // the script read, exec'd by a start-up script: not followed
    };
    // Where nothing runs, the exec reads nothing; otherwise what the script does is not known.
    static bool runsAsAny(Outcome outcome);
    // Too deep, past the read's budget or left unread: what the script does is not checked.
    static bool notFollowed(Outcome outcome);
    struct Failure {
        Origin at; // the exec; for an exec of the script read, none
        Outcome outcome;
        QList<qsizetype> chain; // the scripts from the first exec'd down to the one whose exec this is
        QString typed;
        qsizetype script; // what exec finds, where it finds something
        qsizetype waiting = 0; // the bytes waiting in the command buffer behind the exec
    };
    static constexpr qsizetype unbounded = std::numeric_limits<qsizetype>::max() / 4;
    // What one exec runs, its own execs followed.
    struct Run {
        Outcome outcome = Outcome::Runs;
        qsizetype script = -1;
        QList<Step> steps;
        QList<Failure> failures; // of this exec and of every exec it runs, one an exec: the first chain found
        QList<qsizetype> scripts; // that it runs, in their order
        // How many scripts above this one a loop in it goes back to; at most 0, and not cut short by where it
        // stands, the run is the same wherever the exec stands, as long as what waits behind it stays within
        // what lets every exec in it fit, or overflow, as it does.
        int reachUp = std::numeric_limits<int>::min() / 2;
        bool cutByPlace = false; // too deep, or past the work one reading does
        qsizetype waiting = 0; // the bytes waiting in the command buffer behind the exec, as followed
        qsizetype slack = unbounded; // how many more could wait
        qsizetype excess = unbounded; // how many fewer could wait, less one
        qsizetype work = 0; // what following it took from the read's budget

        // Whether the run is the same with `bytes` waiting behind the exec.
        bool holdsBehind(qsizetype bytes) const { return bytes - waiting <= slack && waiting - bytes < excess; }
        void bound(const Run &inner, qsizetype innerWaiting);
    };
    struct ExecRead {
        ExecScript script;
        QList<Line> lines;
        QList<qsizetype> restAfter; // by line, the bytes of the script after it, and the line break exec adds
    };
    // The first failure of a run that is not followed, and the first that nothing runs; -1 for none.
    struct FirstFailures {
        qsizetype unfollowed = -1;
        qsizetype marked = -1;
    };
    static constexpr qsizetype scriptItself = -2;

    void index() const;
    std::shared_ptr<const Run> runOf(const QString &typed, qsizetype waiting) const;
    std::shared_ptr<const Run> follow(
        const QString &typed, Origin at, QList<qsizetype> &chain, bool startUp, qsizetype waiting) const;
    void runLines(qsizetype script, QList<qsizetype> &chain, bool startUp, qsizetype waiting, Run &run) const;
    // Takes `work` from the read's budget; false once the budget is spent.
    bool spend(qsizetype work) const;
    std::shared_ptr<const Run> stoppedHere(const QString &typed, Origin at) const;
    FirstFailures firstFailures(const Run &run) const;
    // By line of the script read, what waits in the command buffer after it, as ExecRead's restAfter.
    QList<qsizetype> restAfterLines() const;
    // Whether every exec of the script read runs as indexed with what now waits behind it.
    bool execRunsHold() const;
    qsizetype scriptAt(const QString &path) const;
    const Line &lineAt(qsizetype script, qsizetype line) const;
    const Run *runAt(Place place) const;
    // Where the command at `origin` of an exec'd script runs, in order.
    QList<Place> instancesOf(Origin origin) const;
    Origin originOf(Place place) const;
    QString shownScript(qsizetype script) const;

    // The setting a later command makes pointless, if any: that command, and the last setting of the
    // variable before a command reads it.
    struct Again {
        Place next;
        Place kept;
    };
    std::optional<Again> setAgain(Place here, const QString &name) const;
    QList<qsizetype> markedCommands(qsizetype line) const;
    // The g_gametype setting the command at `place` sees, when no command before it may have changed it.
    std::optional<Place> gametypeAt(Place place) const;
    const Setting &settingAt(Place place) const;
    // By map command of the line, the gametype it loads its map with; empty where the script does not tell.
    QStringList gametypesOfMaps(qsizetype line) const;
    // Whether anything on the server reads what `setting` sets.
    VariableUse::Verdict verdictOn(const Setting &setting) const;
    // The mark of a setting that nothing on the server reads, if it is one.
    std::optional<ConsoleReader::Mark> unreadMark(const Setting &setting, ConsoleReader::Span span) const;
    // What the execs of line `lineNumber` of `script` find, as notes and marks.
    void readExecs(const Line &line, qsizetype script, qsizetype lineNumber, QStringView text,
        ConsoleReader::Reading &reading) const;
    QString failureSentence(const Failure &failure) const;
    void markSetAgain(const Setting &setting, const Again &again, QStringView text, ConsoleReader::Reading &reading,
        qsizetype script) const;

    ValueCatalogue m_values;
    qsizetype m_breakBytes = 2;
    std::shared_ptr<const Server> m_server;
    QList<Line> m_lines;
    QList<QList<qsizetype>> m_marked; // by line, the commands marked as set again or as read by nothing
    QList<QStringList> m_mapGametypes; // by line, gametypesOfMaps()

    // The scripts exec found, each read once; by path, their index, or -1 for none.
    mutable std::deque<ExecRead> m_scripts; // a run holds on to a script while exec finds more
    mutable QHash<QString, qsizetype> m_byPath;
    mutable QHash<QString, qsizetype> m_byKey;
    mutable QHash<QString, std::shared_ptr<const Run>> m_runs; // by name as typed, from the script read
    mutable QHash<qsizetype, std::shared_ptr<const Run>> m_contextFree; // by script, from the script read
    mutable std::shared_ptr<const Run> m_startUp;
    mutable QHash<QString, VariableUse::Verdict> m_verdicts; // by lower-case name

    // Rebuilt from m_lines when their shape changed.
    mutable QHash<QString, QList<Place>> m_setBy;
    mutable QHash<QString, QList<Place>> m_namedBy;
    mutable QList<Place> m_reachingAny;
    mutable QSet<QString> m_vstrs;
    mutable QHash<std::pair<qsizetype, qsizetype>, std::shared_ptr<const Run>> m_execRuns; // by line and command
    mutable QHash<Origin, QList<Place>> m_instances; // where each command of an exec'd script runs
    mutable bool m_instancesIndexed = false;
    mutable QHash<Origin, Failure> m_failuresAt; // by the exec in an exec'd script
    mutable QHash<const Run *, FirstFailures> m_firstFailures; // by run of an exec of the script read
    mutable QList<qsizetype> m_reached; // scripts, in the order first reached
    mutable qsizetype m_work = 0; // spent since the index was last built
    mutable bool m_stopped = false; // the read reached its budget
    mutable bool m_indexed = false;
};
