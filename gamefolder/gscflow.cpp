#include "gamefolder/gscflow.h"

#include <QHash>
#include <QSet>

namespace GscFlow {

namespace {

using Value = GscScript::Value;
namespace Term = GscTerm;

enum class Mode : char { Read = 'r', Write = 'w', Open = 'o' };

// A few fields refer to one another (level.x = level.y + "_"); deeper is taken as unknown.
constexpr int deepestField = 3;

// How calls name a script: its path without .gsc, "/" between folders, lower case.
QByteArray fileKeyOf(const QString &path)
{
    QString key = path.toLower();
    key.replace(u'\\', u'/');
    if (key.endsWith(u".gsc"))
        key.chop(4);
    return key.toLatin1();
}

bool isReader(QByteArrayView callee)
{
    return callee == "getcvar" || callee == "getcvarint" || callee == "getcvarfloat";
}

class Follower {
public:
    Follower(const QList<Script> &scripts, qint64 budget)
        : m_scripts(scripts)
        , m_left(budget)
    {
        for (qsizetype s = 0; s < scripts.size(); ++s) {
            const GscScript &script = *scripts[s].script;
            const QByteArray file = fileKeyOf(scripts[s].path);
            m_fileKeys << file;
            QHash<QByteArray, qsizetype> &functions = m_byFile[file];
            for (const GscScript::Function &function : script.functions) {
                if (!functions.contains(function.name))
                    functions.insert(function.name, m_functions.size());
                m_functions.append({ s, &function });
            }
            for (const auto &[key, value] : GscScript::fieldsOf(script.fields)) {
                Value &values = m_fields[key];
                for (const QByteArray &term : value) {
                    if (!values.contains(term))
                        values << term;
                }
                Term::cap(values);
            }
        }
        m_callers.resize(m_functions.size());
        m_templates.resize(m_functions.size());
    }

    Result follow()
    {
        for (qsizetype s = 0; s < m_scripts.size(); ++s) {
            const GscScript &script = *m_scripts[s].script;
            if (script.followed)
                continue;
            m_unfollowed.insert(s);
            for (qsizetype at = 0, end; (end = script.strings.indexOf('\n', at)) >= 0; at = end + 1) {
                concrete(Mode::Open, Term::single(Term::literal, QByteArrayView(script.strings).sliced(at, end - at)), s);
            }
        }
        // Each call of a script's function is a site its parameters' reads reach through; a built-in's
        // reads are reached at once.
        for (qsizetype f = 0; f < m_functions.size() && !m_result.overBudget; ++f) {
            for (const GscScript::Call &call : GscScript::callsOf(m_functions[f].function->calls)) {
                // The game's built-ins cannot be defined again by a script.
                const bool builtIn = isReader(call.callee) || call.callee == "setcvar" || call.callee == "[[";
                if (const qsizetype callee = builtIn ? -1 : functionCalled(m_functions[f].script, call.callee);
                    callee >= 0) {
                    m_callers[callee].append({ f, GscScript::argumentsOf(call) });
                } else if (isReader(call.callee) || call.callee == "setcvar") {
                    for (const QByteArray &term : GscScript::argumentsOf(call).value(0))
                        reach(f, isReader(call.callee) ? Mode::Read : Mode::Write, term);
                } else if (call.callee == "[[") {
                    for (const Value &argument : GscScript::argumentsOf(call)) {
                        for (const QByteArray &term : argument)
                            reach(f, Mode::Open, term);
                    }
                }
            }
        }
        while (!m_queue.isEmpty() && !m_result.overBudget) {
            const auto [function, sink] = m_queue.takeLast();
            const Mode mode = Mode(sink[0]);
            const QByteArray term = sink.sliced(1);
            for (const Site &site : std::as_const(m_callers[function])) {
                for (const QByteArray &built : substituted(term, site.arguments))
                    reach(site.caller, mode, built);
            }
        }
        for (const qsizetype s : std::as_const(m_unfollowed))
            m_result.unfollowed << m_scripts[s].path;
        m_result.unfollowed.sort();
        return m_result;
    }

private:
    struct Function {
        qsizetype script;
        const GscScript::Function *function;
    };
    struct Site {
        qsizetype caller;
        QList<Value> arguments;
    };

    bool take(qint64 bytes)
    {
        m_left -= bytes;
        if (m_left < 0)
            m_result.overBudget = true;
        return !m_result.overBudget;
    }

    qsizetype functionIn(const QByteArray &file, const QByteArray &name) const
    {
        const auto functions = m_byFile.constFind(file);
        return functions == m_byFile.cend() ? -1 : functions->value(name, -1);
    }

    qsizetype functionCalled(qsizetype script, QByteArrayView calleeView) const
    {
        // A view of the script's own bytes: most callees are looked up once and found nowhere.
        const QByteArray callee = QByteArray::fromRawData(calleeView.data(), calleeView.size());
        const qsizetype colons = callee.indexOf("::");
        if (colons >= 0)
            return functionIn(callee.left(colons), callee.mid(colons + 2));
        if (const qsizetype own = functionIn(m_fileKeys[script], callee); own >= 0)
            return own;
        for (const QByteArray &include : m_scripts[script].script->includes) {
            if (const qsizetype found = functionIn(include, callee); found >= 0)
                return found;
        }
        return -1;
    }

    // What `term`, of the function `function`, reads or sets.
    void reach(qsizetype function, Mode mode, const QByteArray &term)
    {
        if (!Term::holds(term, Term::parameter)
            && !(Term::holds(term, Term::valueOf) && holdsInner(term, Term::parameter)))
            return concrete(mode, term, m_functions[function].script);
        const QByteArray sink = char(mode) + term;
        if (m_templates[function].contains(sink) || !take(64 + sink.size()))
            return;
        m_templates[function].insert(sink);
        m_queue.append({ function, sink });
    }

    static bool holdsInner(QByteArrayView term, char kind)
    {
        for (const Term::Part &part : Term::partsOf(term)) {
            if (part.kind == Term::valueOf && (Term::holds(part.payload, kind) || holdsInner(part.payload, kind)))
                return true;
        }
        return false;
    }

    // `term` with each parameter put as the terms the call gives it.
    Value substituted(QByteArrayView term, const QList<Value> &arguments) const
    {
        Value value { QByteArray() };
        for (const Term::Part &part : Term::partsOf(term)) {
            Value piece;
            if (part.kind == Term::parameter) {
                const qsizetype index = quint8(part.payload[0]);
                piece = index < arguments.size() ? arguments[index] : Value { Term::single(Term::word) };
            } else if (part.kind == Term::valueOf) {
                for (const QByteArray &inner : substituted(part.payload, arguments))
                    piece << Term::single(Term::valueOf, inner);
            } else {
                piece << Term::single(part.kind, part.payload);
            }
            value = Term::join(value, piece);
        }
        return value;
    }

    // `term` with the level's fields put as what the scripts give them, and values of variables named whole.
    Value known(QByteArrayView term, int depth) const
    {
        Value value { QByteArray() };
        for (const Term::Part &part : Term::partsOf(term)) {
            Value piece;
            if (part.kind == Term::field) {
                const auto found = m_fields.constFind(part.payload.toByteArray());
                if (found == m_fields.cend() || depth >= deepestField)
                    piece << Term::single(Term::word);
                else {
                    for (const QByteArray &given : *found)
                        piece << known(given, depth + 1);
                }
            } else if (part.kind == Term::valueOf) {
                for (const QByteArray &inner : known(part.payload, depth + 1)) {
                    const QList<Term::Part> parts = Term::partsOf(inner);
                    if (parts.size() != 1 || parts[0].kind != Term::literal)
                        piece << Term::single(Term::word);
                    else if (parts[0].payload == "g_gametype")
                        piece << Term::single(Term::gametype);
                    else if (parts[0].payload == "mapname")
                        piece << Term::single(Term::map);
                    else
                        piece << Term::single(Term::valueOf, parts[0].payload);
                }
            } else if (part.kind == Term::parameter || part.kind == Term::local) {
                piece << Term::single(Term::word);
            } else {
                piece << Term::single(part.kind, part.payload);
            }
            value = Term::join(value, piece);
        }
        return value;
    }

    void concrete(Mode mode, const QByteArray &term, qsizetype script)
    {
        // Scripts read the same names over and over; a name of literals and numbers tells the same wherever.
        if (mode != Mode::Open && Term::holds(term, Term::literal) && !Term::holds(term, Term::field)
            && !Term::holds(term, Term::valueOf)) {
            const QByteArray seen = char(mode) + term;
            if (m_seen.contains(seen))
                return;
            m_seen.insert(seen);
        }
        const Value builtAll = known(term, 0);
        if (mode == Mode::Read && std::none_of(builtAll.cbegin(), builtAll.cend(), [](const QByteArray &built) {
                return Term::holds(built, Term::literal) || Term::holds(built, Term::valueOf);
            }))
            m_unfollowed.insert(script);
        for (const QByteArray &built : builtAll) {
            if (!Term::possible(built) || built.isEmpty())
                continue;
            const QByteArray key = char(mode) + built;
            if (m_concrete.contains(key))
                continue;
            if (!take(64 + key.size()))
                return;
            m_concrete.insert(key);
            NamePattern pattern;
            bool told = false; // some part is one a name can be told by
            for (const Term::Part &part : Term::partsOf(built)) {
                using Kind = NamePattern::Kind;
                switch (part.kind) {
                case Term::literal:
                    pattern.parts.append({ Kind::Literal, QString::fromLatin1(part.payload) });
                    told = true;
                    break;
                case Term::valueOf:
                    pattern.parts.append({ Kind::ValueOf, QString::fromLatin1(part.payload) });
                    told = true;
                    break;
                case Term::number: pattern.parts.append({ Kind::Number }); break;
                case Term::gametype: pattern.parts.append({ Kind::Gametype }); break;
                case Term::map: pattern.parts.append({ Kind::Map }); break;
                case Term::rest: pattern.parts.append({ Kind::Rest }); break;
                default: pattern.parts.append({ Kind::Word }); break;
                }
            }
            if (mode == Mode::Open && (pattern.parts.isEmpty() || pattern.parts.constLast().kind != NamePattern::Kind::Rest))
                pattern.parts.append({ NamePattern::Kind::Rest });
            // A read of what cannot be told, or of what a call through a variable is given, is a script not
            // followed whole. A read of anything at all would say nothing of every name, so it is left out;
            // what such a call is given names nothing unless some of it is told.
            if (!told)
                continue;
            if (mode == Mode::Open)
                m_unfollowed.insert(script);
            (mode == Mode::Write ? m_result.writes : m_result.reads) << pattern;
        }
    }

    const QList<Script> &m_scripts;
    qint64 m_left;
    QList<QByteArray> m_fileKeys;
    QHash<QByteArray, QHash<QByteArray, qsizetype>> m_byFile;
    QList<Function> m_functions;
    QHash<QByteArray, Value> m_fields;
    QList<QList<Site>> m_callers;
    QList<QSet<QByteArray>> m_templates; // by function: the mode and term of what its parameters reach
    QList<std::pair<qsizetype, QByteArray>> m_queue;
    QSet<QByteArray> m_concrete;
    QSet<QByteArray> m_seen; // the terms reached, before the fields were put in
    QSet<qsizetype> m_unfollowed;
    Result m_result;
};

} // namespace

Result follow(const QList<Script> &scripts, qint64 budget)
{
    return Follower(scripts, budget).follow();
}

} // namespace GscFlow
