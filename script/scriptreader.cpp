#include "script/scriptreader.h"

#include "script/execname.h"
#include "script/execsize.h"
#include "script/wording.h"

#include <algorithm>
#include <limits>

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

bool isCommand(const QStringList &words, QStringView command)
{
    return !words.isEmpty() && words[0].compare(command, Qt::CaseInsensitive) == 0;
}

bool loadsMap(const QStringList &words)
{
    return words.size() >= 2 && (isCommand(words, u"map") || isCommand(words, u"devmap"));
}

// The variables vstr runs in `words`, and in a value they set that a vstr may run later.
void addVstrs(const QStringList &words, QStringList &vstrs, int depth = 0)
{
    if (isCommand(words, u"vstr") && words.size() >= 2)
        vstrs << words[1].toLower();
    if (depth == 3 || reachOf(words) != Reach::Sets)
        return;
    const QString value = words.sliced(2).join(u' ');
    if (!value.contains(u"vstr"_s, Qt::CaseInsensitive))
        return;
    for (const QStringList &inner : ConsoleReader::commandsOf(value))
        addVstrs(inner, vstrs, depth + 1);
}

// From the command's first word to where the next command starts, less blanks and a ";".
ConsoleReader::Span commandSpan(const ConsoleReader::Reading &reading, QStringView text, qsizetype command)
{
    const qsizetype start = reading.commandWords[command].start;
    qsizetype end = command + 1 < reading.commandWords.size() ? reading.commandWords[command + 1].start : text.size();
    while (end > start && (text[end - 1].unicode() <= u' ' || text[end - 1] == u';'))
        --end;
    return { start, end - start };
}

} // namespace

ScriptReader::ScriptReader(const ValueCatalogue &values)
    : m_values(values)
{
}

bool ScriptReader::Line::sameShape(const Line &other) const
{
    if (named != other.named || reachingAny != other.reachingAny || settings.size() != other.settings.size()
        || vstrs != other.vstrs || execs.size() != other.execs.size())
        return false;
    for (qsizetype k = 0; k < settings.size(); ++k) {
        if (settings[k].name != other.settings[k].name || settings[k].command != other.settings[k].command
            || settings[k].isSets != other.settings[k].isSets)
            return false;
    }
    for (qsizetype k = 0; k < execs.size(); ++k) {
        if (execs[k].command != other.execs[k].command || execs[k].typed != other.execs[k].typed)
            return false;
    }
    return true;
}

ScriptReader::Line ScriptReader::summaryOf(QStringView text)
{
    Line line;
    line.bytes = text.size();
    qsizetype command = 0;
    for (const QStringList &words : ConsoleReader::commandsOf(text)) {
        if (words.isEmpty())
            continue;
        addVstrs(words, line.vstrs);
        switch (reachOf(words)) {
        case Reach::None: break;
        case Reach::Named: line.named.append({ words[1].toLower(), command }); break;
        case Reach::Any:
            line.reachingAny.append(command);
            if (loadsMap(words))
                line.loadingMap.append(command);
            if (isCommand(words, u"exec"))
                line.execs.append({ command, words.value(1) });
            break;
        case Reach::Sets: {
            const bool isSets = isCommand(words, u"sets");
            line.settings.append(
                { words[1].toLower(), words[1], isSets ? words[2] : words.sliced(2).join(u' '), command, isSets });
            break;
        }
        }
        ++command;
    }
    // What follows an exec on its line waits in the command buffer while the script exec finds runs.
    if (!line.execs.isEmpty() && line.execs.constLast().command + 1 < command) {
        const ConsoleReader::Reading reading = ConsoleReader::read(text);
        for (const Exec &exec : std::as_const(line.execs)) {
            const qsizetype next = exec.command + 1;
            line.restOfLine << (next < reading.commandWords.size() ? text.size() - reading.commandWords[next].start
                                                                   : 0);
        }
    } else {
        line.restOfLine.fill(0, line.execs.size());
    }
    return line;
}

void ScriptReader::readOn(std::shared_ptr<const Server> server)
{
    m_server = std::move(server);
    m_scripts.clear();
    m_byPath.clear();
    m_byKey.clear();
    m_runs.clear();
    m_contextFree.clear();
    m_startUp.reset();
    m_verdicts.clear();
    m_indexed = false;
    for (qsizetype k = 0; k < m_lines.size(); ++k) {
        m_marked[k] = markedCommands(k);
        m_mapGametypes[k] = gametypesOfMaps(k);
    }
}

qsizetype ScriptReader::scriptAt(const QString &path) const
{
    if (const auto found = m_byPath.constFind(path); found != m_byPath.cend())
        return *found;
    qsizetype script = -1;
    if (std::optional<ExecScript> found = m_server->lookup(path)) {
        if (!m_server->scriptKey.isEmpty() && found->key == m_server->scriptKey) {
            script = scriptItself;
        } else if (const auto known = m_byKey.constFind(found->key); known != m_byKey.cend()) {
            script = *known;
        } else {
            script = qsizetype(m_scripts.size());
            QList<Line> lines;
            lines.reserve(found->lines.size());
            for (const QString &text : std::as_const(found->lines))
                lines << summaryOf(text);
            QList<qsizetype> ends = found->lineEnds;
            if (ends.size() != lines.size()) {
                ends.clear();
                for (qsizetype end = 0; const Line &line : std::as_const(lines))
                    ends << (end += line.bytes + 1);
            }
            QList<qsizetype> restAfter;
            for (const qsizetype end : std::as_const(ends))
                restAfter << ends.constLast() - end + 1;
            m_byKey.insert(found->key, script);
            m_scripts.push_back({ std::move(*found), std::move(lines), std::move(restAfter) });
        }
    }
    m_byPath.insert(path, script);
    return script;
}

const ScriptReader::Line &ScriptReader::lineAt(qsizetype script, qsizetype line) const
{
    return script < 0 ? m_lines[line] : m_scripts[script].lines[line];
}

void ScriptReader::Run::bound(const Run &inner, qsizetype innerWaiting)
{
    // `inner` was followed with its own bytes waiting; it stands here with `innerWaiting`, which moves with this
    // run's.
    slack = std::min(slack, inner.slack - (innerWaiting - inner.waiting));
    excess = std::min(excess, inner.excess + (innerWaiting - inner.waiting));
}

bool ScriptReader::spend(qsizetype work) const
{
    m_work += work;
    return m_work <= mostWork;
}

// The exec where the read reached its budget: the only one that says so.
std::shared_ptr<const ScriptReader::Run> ScriptReader::stoppedHere(const QString &typed, Origin at) const
{
    auto run = std::make_shared<Run>();
    run->outcome = Outcome::TooMany;
    run->cutByPlace = true;
    if (!std::exchange(m_stopped, true))
        run->failures.append({ at, Outcome::TooMany, {}, typed, -1 });
    return run;
}

std::shared_ptr<const ScriptReader::Run> ScriptReader::follow(
    const QString &typed, Origin at, QList<qsizetype> &chain, bool startUp, qsizetype waiting) const
{
    if (m_stopped || !spend(1))
        return stoppedHere(typed, at);
    const qsizetype workBefore = m_work - 1;
    auto run = std::make_shared<Run>();
    run->waiting = waiting;
    auto stop = [&](Outcome outcome) {
        run->outcome = outcome;
        if (outcome != Outcome::Unknown)
            run->failures.append({ at, outcome, {}, typed, run->script, waiting });
        run->work = m_work - workBefore;
        return run;
    };
    const ExecName::Target target = ExecName::of(typed);
    if (target.refusal != ExecName::Refusal::None)
        return stop(Outcome::Refused);
    run->script = scriptAt(target.path);
    if (run->script == -1)
        return stop(Outcome::Missing);
    if (run->script == scriptItself) {
        // The script read loops in every chain that starts from it; the start-up scripts run before it.
        run->reachUp = std::numeric_limits<int>::min() / 2;
        return stop(startUp ? Outcome::Unknown : Outcome::Loop);
    }
    if (const qsizetype loop = chain.indexOf(run->script); loop >= 0) {
        run->reachUp = int(chain.size() - loop);
        return stop(Outcome::Loop);
    }
    const qint64 bytes = m_scripts[run->script].script.bytes;
    const qsizetype room = ExecSize::commandBufferBytes - (waiting + bytes + 1);
    if (bytes > ExecSize::largestBytes)
        return stop(Outcome::TooLarge);
    if (room < 0) {
        // Its sentence says what waits: it holds there only.
        run->slack = 0;
        run->excess = 1;
        return stop(Outcome::Overflows);
    }
    run->slack = room;
    if (!m_scripts[run->script].script.kept)
        return stop(Outcome::NotKept);
    if (chain.size() >= deepestExec) {
        run->cutByPlace = true;
        return stop(Outcome::TooDeep);
    }
    // A run read before holds wherever no script it runs is running already. It costs what it cost then, so that
    // a read stops where it would have stopped following it anew.
    if (const auto known = m_contextFree.constFind(run->script); !startUp && known != m_contextFree.cend()
        && (*known)->holdsBehind(waiting) && m_work - 1 + (*known)->work <= mostWork
        && std::none_of((*known)->scripts.cbegin(), (*known)->scripts.cend(),
            [&chain](qsizetype script) { return chain.contains(script); })) {
        spend((*known)->work - 1);
        return *known;
    }
    chain.append(run->script);
    runLines(run->script, chain, startUp, waiting, *run);
    chain.removeLast();
    run->work = m_work - workBefore;
    if (!startUp && run->reachUp <= 0 && !run->cutByPlace)
        m_contextFree.insert(run->script, run);
    return run;
}

void ScriptReader::runLines(qsizetype script, QList<qsizetype> &chain, bool startUp, qsizetype waiting, Run &run) const
{
    run.scripts.append(script);
    const ExecRead &read = m_scripts[script];
    QSet<Origin> failed; // the execs whose failure the run holds
    QHash<const Run *, std::shared_ptr<const Run>> merged; // the runs whose failures it holds, kept till it ends
    for (qsizetype l = 0; l < read.lines.size(); ++l) {
        const Line &line = read.lines[l];
        // The line's commands in their order.
        QList<std::pair<qsizetype, Step>> steps;
        for (qsizetype k = 0; k < line.settings.size(); ++k)
            steps.append({ line.settings[k].command, { { script, l, line.settings[k].command }, Kind::Setting, k } });
        for (qsizetype k = 0; k < line.named.size(); ++k)
            steps.append({ line.named[k].second, { { script, l, line.named[k].second }, Kind::Named, k } });
        for (qsizetype command : line.reachingAny)
            steps.append({ command, { { script, l, command }, Kind::Any, -1 } });
        std::sort(steps.begin(), steps.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
        for (const auto &[command, step] : std::as_const(steps)) {
            const auto exec = std::find_if(
                line.execs.cbegin(), line.execs.cend(), [at = command](const Exec &e) { return e.command == at; });
            if (exec == line.execs.cend()) {
                run.steps.append(step);
                spend(1);
                continue;
            }
            const qsizetype behind = waiting + read.restAfter[l] + line.restOfLine[exec - line.execs.cbegin()];
            const std::shared_ptr<const Run> inner = follow(exec->typed, step.origin, chain, startUp, behind);
            run.bound(*inner, behind);
            if (!merged.contains(inner.get())) {
                merged.insert(inner.get(), inner);
                for (const Failure &failure : inner->failures) {
                    if (failed.contains(failure.at))
                        continue;
                    failed.insert(failure.at);
                    run.failures.append(failure);
                    run.failures.last().chain.prepend(script);
                }
                spend(inner->failures.size());
            }
            run.reachUp = std::max(run.reachUp, inner->reachUp - 1);
            run.cutByPlace = run.cutByPlace || inner->cutByPlace;
            run.scripts.append(inner->scripts);
            if (runsAsAny(inner->outcome)) {
                run.steps.append(step);
            } else {
                spend(inner->steps.size());
                run.steps.append(inner->steps);
            }
        }
    }
}

bool ScriptReader::notFollowed(Outcome outcome)
{
    return outcome == Outcome::TooDeep || outcome == Outcome::TooMany || outcome == Outcome::NotKept;
}

ScriptReader::FirstFailures ScriptReader::firstFailures(const Run &run) const
{
    FirstFailures first;
    for (qsizetype k = 0; k < run.failures.size() && (first.unfollowed < 0 || first.marked < 0); ++k) {
        const Failure &failure = run.failures[k];
        if (failure.chain.isEmpty())
            continue;
        qsizetype &slot = notFollowed(failure.outcome) ? first.unfollowed : first.marked;
        if (slot < 0)
            slot = k;
    }
    return first;
}

bool ScriptReader::runsAsAny(Outcome outcome)
{
    // Nothing runs where exec finds nothing or refuses; what a loop or a script not followed does, nobody knows.
    return outcome == Outcome::Loop || notFollowed(outcome) || outcome == Outcome::Unknown;
}

std::shared_ptr<const ScriptReader::Run> ScriptReader::runOf(const QString &typed, qsizetype waiting) const
{
    if (const auto found = m_runs.constFind(typed);
        found != m_runs.cend() && !m_stopped && (*found)->holdsBehind(waiting) && m_work + (*found)->work <= mostWork) {
        spend((*found)->work);
        return *found;
    }
    QList<qsizetype> chain;
    std::shared_ptr<const Run> run = follow(typed, {}, chain, false, waiting);
    // A run cut short by the work done before it may go further at another reading.
    if (!m_stopped)
        m_runs.insert(typed, run);
    return run;
}

void ScriptReader::index() const
{
    if (m_indexed)
        return;
    m_setBy.clear();
    m_namedBy.clear();
    m_reachingAny.clear();
    m_vstrs.clear();
    m_execRuns.clear();
    m_instances.clear();
    m_instancesIndexed = false;
    m_failuresAt.clear();
    m_firstFailures.clear();
    m_reached.clear();
    m_work = 0;
    m_stopped = false;
    // The start-up scripts' vstrs count, but a script they run is reached only where the script read runs it too.
    QSet<qsizetype> readForVstrs;
    QSet<qsizetype> reached;
    auto addScripts = [&](const Run &run, bool fromScript) {
        for (qsizetype script : run.scripts) {
            if (fromScript && !reached.contains(script)) {
                reached.insert(script);
                m_reached.append(script);
            }
            if (readForVstrs.contains(script))
                continue;
            readForVstrs.insert(script);
            for (const Line &line : std::as_const(m_scripts[script].lines)) {
                for (const QString &name : line.vstrs)
                    m_vstrs.insert(name);
            }
        }
    };
    auto addRun = [&](qsizetype line, qsizetype command, const Run &run) {
        for (qsizetype k = 0; k < run.steps.size(); ++k) {
            const Step &step = run.steps[k];
            const Place place { line, command, k + 1 };
            const Line &from = lineAt(step.origin.script, step.origin.line);
            switch (step.kind) {
            case Kind::Setting: m_setBy[from.settings[step.item].name].append(place); break;
            case Kind::Named: m_namedBy[from.named[step.item].first].append(place); break;
            case Kind::Any: m_reachingAny.append(place); break;
            }
        }
    };

    if (m_server) {
        if (!m_startUp) {
            auto startUp = std::make_shared<Run>();
            for (const QString &path : ExecName::startUpScripts()) {
                const qsizetype script = scriptAt(path);
                if (script == scriptItself)
                    break;
                if (script < 0 || m_scripts[script].script.bytes > ExecSize::largestBytes)
                    continue;
                QList<qsizetype> chain { script };
                Run run;
                runLines(script, chain, true, 0, run);
                startUp->steps.append(run.steps);
                startUp->scripts.append(run.scripts);
                startUp->cutByPlace = startUp->cutByPlace || m_stopped;
                if (m_stopped)
                    break;
            }
            startUp->work = m_work;
            m_startUp = std::move(startUp);
        } else {
            m_work = m_startUp->work;
        }
        // The first exec of the script read says that the start-up scripts spent the read.
        m_stopped = false;
        if (m_startUp->cutByPlace)
            m_work = mostWork + 1;
        addRun(-1, 0, *m_startUp);
        addScripts(*m_startUp, false);
    }

    const QList<qsizetype> restAfter = restAfterLines();
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const Line &line = m_lines[i];
        for (const QString &name : line.vstrs)
            m_vstrs.insert(name);
        for (const Setting &setting : line.settings)
            m_setBy[setting.name].append({ i, setting.command });
        for (const auto &[name, command] : line.named)
            m_namedBy[name].append({ i, command });
        for (qsizetype command : line.reachingAny) {
            const auto exec = std::find_if(
                line.execs.cbegin(), line.execs.cend(), [command](const Exec &e) { return e.command == command; });
            if (!m_server || exec == line.execs.cend()) {
                m_reachingAny.append({ i, command });
                continue;
            }
            std::shared_ptr<const Run> run
                = runOf(exec->typed, restAfter[i] + line.restOfLine[exec - line.execs.cbegin()]);
            // Its commands are indexed where the script read runs them.
            if (!m_stopped && !spend(run->steps.size()))
                run = stoppedHere(exec->typed, {});
            m_execRuns.insert({ i, command }, run);
            if (runsAsAny(run->outcome))
                m_reachingAny.append({ i, command });
            addRun(i, command, *run);
            addScripts(*run, true);
            if (m_firstFailures.contains(run.get()))
                continue;
            m_firstFailures.insert(run.get(), firstFailures(*run));
            for (const Failure &failure : run->failures) {
                if (failure.at.script >= 0 && !m_failuresAt.contains(failure.at))
                    m_failuresAt.insert(failure.at, failure);
            }
        }
    }
    // A line's own commands went in before what its execs run.
    for (auto *places : { &m_setBy, &m_namedBy }) {
        for (QList<Place> &list : *places)
            std::sort(list.begin(), list.end());
    }
    std::sort(m_reachingAny.begin(), m_reachingAny.end());
    m_indexed = true;
}

QList<ScriptReader::Place> ScriptReader::instancesOf(Origin origin) const
{
    index();
    // Only the reached scripts' readings ask, which the editor never does: made at the first.
    if (!m_instancesIndexed) {
        auto addRun = [this](qsizetype line, qsizetype command, const Run &run) {
            for (qsizetype k = 0; k < run.steps.size(); ++k)
                m_instances[run.steps[k].origin].append({ line, command, k + 1 });
        };
        if (m_startUp)
            addRun(-1, 0, *m_startUp);
        QList<std::pair<qsizetype, qsizetype>> execs = m_execRuns.keys();
        std::sort(execs.begin(), execs.end());
        for (const auto &[line, command] : std::as_const(execs))
            addRun(line, command, *m_execRuns.value({ line, command }));
        m_instancesIndexed = true;
    }
    return m_instances.value(origin);
}

const ScriptReader::Run *ScriptReader::runAt(Place place) const
{
    if (place.line < 0)
        return m_startUp.get();
    return m_execRuns.value({ place.line, place.command }).get();
}

ScriptReader::Origin ScriptReader::originOf(Place place) const
{
    if (place.step == 0)
        return { -1, place.line, place.command };
    return runAt(place)->steps[place.step - 1].origin;
}

QString ScriptReader::shownScript(qsizetype script) const
{
    if (script >= 0)
        return m_scripts[script].script.path;
    return m_server ? m_server->scriptName : QString();
}

std::optional<ScriptReader::Again> ScriptReader::setAgain(Place here, const QString &name) const
{
    index();
    const QList<Place> &setters = m_setBy[name];
    const auto next = std::upper_bound(setters.cbegin(), setters.cend(), here);
    if (next == setters.cend())
        return std::nullopt;
    // A line that sets a variable twice is read as written.
    const Origin from = originOf(here);
    const Origin to = originOf(*next);
    if (from.script == to.script && from.line == to.line)
        return std::nullopt;
    // The first command after this one that reads the variable.
    Place reader { m_lines.size(), 0, 0 };
    const auto any = std::upper_bound(m_reachingAny.cbegin(), m_reachingAny.cend(), here);
    if (any != m_reachingAny.cend())
        reader = *any;
    if (const auto named = m_namedBy.constFind(name); named != m_namedBy.cend()) {
        const auto first = std::upper_bound(named->cbegin(), named->cend(), here);
        if (first != named->cend())
            reader = std::min(reader, *first);
    }
    if (reader < *next)
        return std::nullopt;
    return Again { *next, *(std::lower_bound(next, setters.cend(), reader) - 1) };
}

QList<qsizetype> ScriptReader::markedCommands(qsizetype line) const
{
    QList<qsizetype> marked;
    for (const Setting &setting : m_lines[line].settings) {
        if (setAgain({ line, setting.command, 0 }, setting.name) || verdictOn(setting) != VariableUse::Verdict::Read)
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
    if (place.step > 0) {
        const Step &step = runAt(place)->steps[place.step - 1];
        return lineAt(step.origin.script, step.origin.line).settings[step.item];
    }
    const QList<Setting> &settings = m_lines[place.line].settings;
    return *std::find_if(
        settings.cbegin(), settings.cend(), [&](const Setting &s) { return s.command == place.command; });
}

QStringList ScriptReader::gametypesOfMaps(qsizetype line) const
{
    QStringList gametypes;
    for (qsizetype command : m_lines[line].loadingMap) {
        const std::optional<Place> setting = gametypeAt({ line, command, 0 });
        gametypes << (setting ? settingAt(*setting).value : QString());
    }
    return gametypes;
}

VariableUse::Verdict ScriptReader::verdictOn(const Setting &setting) const
{
    if (!m_server || !m_server->variables || setting.isSets)
        return VariableUse::Verdict::Read;
    index();
    // A script the read did not reach may run the variable with vstr.
    if (m_stopped || m_values.find(setting.name) || m_vstrs.contains(setting.name))
        return VariableUse::Verdict::Read;
    auto found = m_verdicts.constFind(setting.name);
    if (found == m_verdicts.cend()) {
        // A mod may read names from the values this script, and the scripts it runs, give a variable.
        const VariableUse::Values values = [this](const QString &name) {
            QStringList given;
            for (const Place &place : m_setBy.value(name))
                given << settingAt(place).value;
            return given;
        };
        found = m_verdicts.insert(setting.name, m_server->variables->verdict(setting.name, values));
    }
    return *found;
}

std::optional<ConsoleReader::Mark> ScriptReader::unreadMark(const Setting &setting, ConsoleReader::Span span) const
{
    const VariableUse::Verdict verdict = verdictOn(setting);
    if (verdict == VariableUse::Verdict::Read)
        return std::nullopt;
    QString sentence = u"Nothing on this server reads %1: the game keeps it, and nothing uses it."_s.arg(
        Wording::shortened(setting.written));
    if (verdict == VariableUse::Verdict::OnlyWritten)
        sentence += u" The game's own scripts only set it."_s;
    else if (verdict == VariableUse::Verdict::OnlyWrittenByMods)
        sentence += u" The server's game scripts only set it."_s;
    else if (const QString near = m_server->variables->nearName(setting.written); !near.isEmpty())
        sentence += u" The server reads %1."_s.arg(near);
    return ConsoleReader::Mark { span, ConsoleReader::Problem::NothingReads, sentence };
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
    if (sameShape && m_indexed && !execRunsHold())
        sameShape = false;
    // A value a mod reads names from may change the marks of any line.
    if (const VariableUse *variables = m_server ? m_server->variables.get() : nullptr;
        variables && variables->readsValues()) {
        for (qsizetype k = first; k < end && sameShape; ++k) {
            for (const Setting &setting : std::as_const(m_lines[k].settings))
                sameShape = sameShape && !variables->readsValueOf(setting.name);
        }
        if (!sameShape)
            m_verdicts.clear();
    }
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
        const auto next = std::lower_bound(m_reachingAny.cbegin(), m_reachingAny.cend(), Place { end, 0, 0 });
        if (next == m_reachingAny.cend() || next->line < 0)
            return changed;
        QStringList gametypes = gametypesOfMaps(next->line);
        if (gametypes != m_mapGametypes[next->line]) {
            changed << next->line;
            m_mapGametypes[next->line] = std::move(gametypes);
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

QList<qsizetype> ScriptReader::restAfterLines() const
{
    // The lines after each, and the line break exec adds.
    QList<qsizetype> rest(m_lines.size());
    for (qsizetype i = m_lines.size() - 1, bytes = 1; i >= 0; --i) {
        rest[i] = bytes;
        bytes += m_lines[i].bytes + m_breakBytes;
    }
    return rest;
}

bool ScriptReader::execRunsHold() const
{
    const QList<qsizetype> restAfter = restAfterLines();
    for (auto it = m_execRuns.cbegin(); it != m_execRuns.cend(); ++it) {
        const qsizetype line = it.key().first;
        const qsizetype command = it.key().second;
        const Line &summary = m_lines[line];
        const qsizetype exec = std::find_if(summary.execs.cbegin(), summary.execs.cend(), [command](const Exec &e) {
            return e.command == command;
        }) - summary.execs.cbegin();
        if (!it.value()->holdsBehind(restAfter[line] + summary.restOfLine[exec]))
            return false;
    }
    return true;
}

QString ScriptReader::failureSentence(const Failure &failure) const
{
    const ExecName::Target target = ExecName::of(failure.typed);
    const QString name = Wording::shortened(failure.typed);
    switch (failure.outcome) {
    case Outcome::Missing:
        return u"The game finds no %1, says \"couldn't exec %2\" and runs nothing."_s.arg(
            Wording::shortened(target.path), name);
    case Outcome::Refused:
        switch (target.refusal) {
        case ExecName::Refusal::NoName: return u"exec without a script's name runs nothing."_s;
        case ExecName::Refusal::ParentFolder:
        case ExecName::Refusal::DoubleColon:
            return u"The game opens no script whose name holds \"%1\", says \"couldn't exec %2\" and runs nothing."_s
                .arg(target.refusal == ExecName::Refusal::ParentFolder ? u".."_s : u"::"_s, name);
        case ExecName::Refusal::None: break;
        }
        return {};
    case Outcome::TooLarge:
        return u"The game runs none of %1, which is %2 bytes: exec takes %3."_s.arg(shownScript(failure.script),
            Wording::thousands(m_scripts[failure.script].script.bytes), Wording::thousands(ExecSize::largestBytes));
    case Outcome::Overflows:
        return u"The game runs none of %1: its %2 bytes, with the %3 still waiting in the command buffer behind this "
               "exec, pass the %4 exec takes (\"Cbuf_InsertText overflowed\")."_s.arg(shownScript(failure.script),
                   Wording::thousands(m_scripts[failure.script].script.bytes), Wording::thousands(failure.waiting - 1),
                   Wording::thousands(ExecSize::largestBytes));
    case Outcome::Loop: {
        // The loop: from where the script exec finds first ran, round to it again.
        QList<qsizetype> running { -1 };
        running.append(failure.chain);
        const qsizetype from
            = failure.script == scriptItself ? 0 : std::max<qsizetype>(running.indexOf(failure.script), 0);
        QStringList loop;
        for (qsizetype k = from; k < running.size(); ++k)
            loop << shownScript(running[k]);
        loop << shownScript(failure.script == scriptItself ? -1 : failure.script);
        return u"An exec loop, %1: the game runs it round until its command buffer overflows (\"Cbuf_InsertText "
               "overflowed\")."_s.arg(loop.join(u" \u2192 "_s));
    }
    case Outcome::TooDeep:
        return u"Tallyforge follows exec no more than %1 scripts deep: what %2 runs is not checked."_s.arg(
            QString::number(deepestExec), Wording::shortened(target.path));
    case Outcome::TooMany:
        return u"Tallyforge follows exec through no more than %1 commands in one read, and stopped here: what %2 "
               "runs, and every exec after it, is not checked."_s.arg(
                   Wording::thousands(mostWork), Wording::shortened(target.path));
    case Outcome::NotKept:
        return u"Tallyforge left %1 unread, as the folder's scripts hold more than it keeps: what it runs is not "
               "checked."_s.arg(shownScript(failure.script));
    case Outcome::Runs:
    case Outcome::Unknown: break;
    }
    return {};
}

void ScriptReader::readExecs(
    const Line &line, qsizetype script, qsizetype lineNumber, QStringView text, ConsoleReader::Reading &reading) const
{
    if (!m_server)
        return;
    index();
    for (const Exec &exec : line.execs) {
        if (exec.command >= reading.commandWords.size())
            continue;
        const ConsoleReader::Span span = commandSpan(reading, text, exec.command);
        // What this exec does, and the failures deeper in its chain.
        std::optional<Failure> own;
        QList<Failure> deeper; // the first not followed, then the first that runs nothing
        const Run *run = nullptr;
        if (script < 0) {
            run = m_execRuns.value({ lineNumber, exec.command }).get();
            if (run && !run->failures.isEmpty() && run->failures.constFirst().chain.isEmpty())
                own = run->failures.constFirst();
            const FirstFailures first = run ? m_firstFailures.value(run) : FirstFailures();
            for (const qsizetype k : { first.unfollowed, first.marked }) {
                if (k >= 0)
                    deeper << run->failures[k];
            }
        } else if (const auto found = m_failuresAt.constFind(Origin { script, lineNumber, exec.command });
                   found != m_failuresAt.cend()) {
            own = *found;
        }
        auto problemOf = [](Outcome outcome) {
            return outcome == Outcome::TooLarge || outcome == Outcome::Overflows ? ConsoleReader::Problem::ExecTooLarge
                : outcome == Outcome::Loop                                       ? ConsoleReader::Problem::ExecLoop
                                                                                 : ConsoleReader::Problem::ExecMissing;
        };
        if (own) {
            if (notFollowed(own->outcome))
                reading.notes.append({ span, failureSentence(*own) });
            else
                reading.marks.append({ span, problemOf(own->outcome), failureSentence(*own) });
            continue;
        }
        if (const qsizetype target = run ? run->script : scriptAt(ExecName::of(exec.typed).path); target >= 0) {
            const ExecScript &found = m_scripts[target].script;
            const qsizetype lines = found.lines.size();
            const QString where = found.archive.isEmpty() ? u", a loose file in %1"_s.arg(found.folder)
                                                          : u" from %1"_s.arg(found.archive);
            reading.notes.append({ span,
                u"exec %1: %2%3, %4"_s.arg(Wording::shortened(exec.typed), Wording::shortened(found.path), where,
                    Wording::counted(lines, u"line", u"lines")) });
        }
        // The first thing amiss down the chain, on the exec that leads there.
        for (const Failure &failure : std::as_const(deeper)) {
            QStringList chain;
            for (qsizetype step : failure.chain)
                chain << shownScript(step);
            // A loop names its scripts itself.
            QString sentence = failureSentence(failure);
            if (failure.outcome != Outcome::Loop) {
                sentence[0] = sentence[0].toLower();
                sentence
                    = u"%1 execs %2: %3"_s.arg(chain.join(u" \u2192 "_s), Wording::shortened(failure.typed), sentence);
            }
            if (notFollowed(failure.outcome))
                reading.notes.append({ span, sentence });
            else
                reading.marks.append({ span, problemOf(failure.outcome), sentence });
        }
    }
}

void ScriptReader::markSetAgain(const Setting &setting, const Again &again, QStringView text,
    ConsoleReader::Reading &reading, qsizetype script) const
{
    if (setting.command >= reading.commandWords.size())
        return;
    const Origin next = originOf(again.next);
    const QString line = next.script == script ? u"Line %1"_s.arg(next.line + 1)
                                               : u"Line %1 of %2"_s.arg(next.line + 1).arg(shownScript(next.script));
    reading.marks.append({ commandSpan(reading, text, setting.command), ConsoleReader::Problem::SetAgain,
        u"%1 sets %2 again; the game keeps \"%3\"."_s.arg(
            line, setting.written, Wording::shortened(settingAt(again.kept).value)) });
}

ConsoleReader::Reading ScriptReader::read(qsizetype line, QStringView text) const
{
    ConsoleReader::Reading reading = ConsoleReader::read(text, m_values);
    if (line < 0 || line >= m_lines.size())
        return reading;
    const Line &summary = m_lines[line];
    if (!summary.loadingMap.isEmpty()) {
        for (ConsoleReader::MapWord &word : reading.maps) {
            if (word.inRotation)
                continue;
            // The word's command is the last to start before it.
            const auto after = std::upper_bound(reading.commandWords.cbegin(), reading.commandWords.cend(),
                word.span.start, [](qsizetype at, const ConsoleReader::Span &command) { return at < command.start; });
            const Place place { line, after - reading.commandWords.cbegin() - 1, 0 };
            if (const std::optional<Place> setting = gametypeAt(place)) {
                const Origin origin = originOf(*setting);
                word.gametype = settingAt(*setting).value;
                word.gametypeLine = origin.line;
                if (origin.script != -1)
                    word.gametypeScript = shownScript(origin.script);
            }
        }
    }
    readExecs(summary, -1, line, text, reading);
    if (m_marked[line].isEmpty())
        return reading;
    for (const Setting &setting : summary.settings) {
        if (setting.command >= reading.commandWords.size())
            continue;
        if (const std::optional<Again> again = setAgain({ line, setting.command, 0 }, setting.name))
            markSetAgain(setting, *again, text, reading, -1);
        else if (std::optional<ConsoleReader::Mark> mark
            = unreadMark(setting, commandSpan(reading, text, setting.command)))
            reading.marks.append(*mark);
    }
    return reading;
}

QList<ScriptReader::ExecScript> ScriptReader::reachedScripts() const
{
    index();
    QList<ExecScript> scripts;
    for (qsizetype script : std::as_const(m_reached))
        scripts << m_scripts[script].script;
    return scripts;
}

ConsoleReader::Reading ScriptReader::readReached(qsizetype reached, qsizetype line) const
{
    index();
    const qsizetype script = m_reached[reached];
    const ExecRead &read = m_scripts[script];
    const QString &text = read.script.lines[line];
    ConsoleReader::Reading reading = ConsoleReader::read(text, m_values);
    if (read.script.stock)
        return reading;
    const Line &summary = read.lines[line];
    for (ConsoleReader::MapWord &word : reading.maps) {
        if (word.inRotation)
            continue;
        const auto after = std::upper_bound(reading.commandWords.cbegin(), reading.commandWords.cend(), word.span.start,
            [](qsizetype at, const ConsoleReader::Span &command) { return at < command.start; });
        // The same gametype wherever the script runs, or none.
        std::optional<Origin> gametype;
        const QList<Place> places = instancesOf({ script, line, qsizetype(after - reading.commandWords.cbegin() - 1) });
        for (const Place &place : places) {
            const std::optional<Place> setting = gametypeAt(place);
            if (!setting || (gametype && (*gametype != originOf(*setting)))) {
                gametype.reset();
                break;
            }
            gametype = originOf(*setting);
            word.gametype = settingAt(*setting).value;
        }
        if (gametype) {
            word.gametypeLine = gametype->line;
            if (gametype->script != script)
                word.gametypeScript = shownScript(gametype->script);
        } else {
            word.gametype.clear();
        }
    }
    readExecs(summary, script, line, text, reading);
    for (const Setting &setting : summary.settings) {
        if (setting.command >= reading.commandWords.size())
            continue;
        // Marked where every run of it is set again; a read that stopped did not see every run.
        std::optional<Again> again;
        for (const Place &place : m_stopped ? QList<Place>() : instancesOf({ script, line, setting.command })) {
            if (place.line < 0)
                continue; // the start-up scripts' runs are not marked
            again = setAgain(place, setting.name);
            if (!again)
                break;
        }
        if (again)
            markSetAgain(setting, *again, text, reading, script);
        else if (std::optional<ConsoleReader::Mark> mark
            = unreadMark(setting, commandSpan(reading, text, setting.command)))
            reading.marks.append(*mark);
    }
    return reading;
}

QList<ScriptReader::Unfollowed> ScriptReader::unfollowed() const
{
    index();
    QList<Unfollowed> found;
    QSet<const Run *> seen; // a run two execs share says what lies deeper in it once
    for (auto it = m_execRuns.cbegin(); it != m_execRuns.cend(); ++it) {
        const Run &run = *it.value();
        const bool deeperSaid = seen.contains(&run);
        seen.insert(&run);
        for (const Failure &failure : run.failures) {
            const bool own = failure.chain.isEmpty();
            if ((!own && deeperSaid) || !notFollowed(failure.outcome))
                continue;
            found.append({ own ? -1 : m_reached.indexOf(failure.at.script), own ? it.key().first : failure.at.line,
                failureSentence(failure) });
        }
    }
    std::sort(found.begin(), found.end(), [](const Unfollowed &a, const Unfollowed &b) {
        return std::pair(a.script, a.line) < std::pair(b.script, b.line);
    });
    found.erase(std::unique(found.begin(), found.end(),
                    [](const Unfollowed &a, const Unfollowed &b) {
                        return a.script == b.script && a.line == b.line && a.sentence == b.sentence;
                    }),
        found.end());
    return found;
}

QList<ConsoleReader::Reading> ScriptReader::readAll(
    const QStringList &lines, const ValueCatalogue &values, std::shared_ptr<const Server> server)
{
    ScriptReader reader(values);
    reader.readOn(std::move(server));
    reader.replaceLines(0, 0, lines);
    QList<ConsoleReader::Reading> readings;
    readings.reserve(lines.size());
    for (qsizetype k = 0; k < lines.size(); ++k)
        readings << reader.read(k, lines[k]);
    return readings;
}
