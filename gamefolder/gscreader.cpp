#include "gamefolder/gscreader.h"

#include <QHash>
#include <QSet>

namespace {

using Token = GscLexer::Token;
using Type = GscLexer::Type;
using Value = GscScript::Value;
namespace Term = GscTerm;

// Built-ins that give a piece of their first argument: what a name is cut from.
bool givesPieceOf(QByteArrayView callee)
{
    return callee == "strtok" || callee == "tolower" || callee == "toupper" || callee == "getsubstr";
}

// Shared, as most expressions take one of these.
const Value &unknownValue()
{
    static const Value value { Term::single(Term::word) };
    return value;
}

const Value &numberValue()
{
    static const Value value { Term::single(Term::number) };
    return value;
}

// What an assignment's operator does to the variable.
enum class Assignment { None, Set, Add, Other };

// The words of a literal, as the pieces a built-in cuts it into.
Value wordsOf(QByteArrayView text)
{
    Value words;
    qsizetype start = -1;
    for (qsizetype k = 0; k <= text.size(); ++k) {
        const char c = k < text.size() ? text[k] : ' ';
        const bool inWord = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
        if (inWord && start < 0)
            start = k;
        else if (!inWord && start >= 0) {
            words << Term::single(Term::literal, text.sliced(start, k - start));
            start = -1;
        }
    }
    Term::cap(words);
    return words;
}

// One function's tokens read into its calls and what it gives the level's fields.
class FunctionReader {
public:
    FunctionReader(const GscLexer &lexer, qsizetype end, GscScript &script, qint64 budget)
        : m_lexer(lexer)
        , m_end(end)
        , m_script(script)
        , m_budget(budget)
    {
    }

    // Whether what the function's calls are given came to more than the budget: the rest was left out.
    bool overBudget() const { return m_budget < 0; }
    bool readFunction() const { return m_readFunction; }

    // The item from token `first`: a function or a directive; false where it is neither.
    bool readItem(qsizetype first)
    {
        m_at = first;
        if (isOp(op('#'))) {
            ++m_at;
            if (isIdentifier("include")) {
                ++m_at;
                QByteArray path;
                while (m_at < m_end && !isOp(op(';'))) {
                    path += isOp(op('\\')) ? QByteArray("/") : text(m_at).toByteArray();
                    ++m_at;
                }
                m_script.includes << path;
            }
            return true; // other directives name no variables
        }
        if (!at(Type::Identifier))
            return false;
        GscScript::Function function;
        function.name = text(m_at++).toByteArray();
        if (!accept(op('(')))
            return false;
        while (!m_failed && !isOp(op(')'))) {
            if (!at(Type::Identifier))
                return false;
            m_parameters << text(m_at++).toByteArray();
            if (!isOp(op(')')) && !accept(op(',')))
                return false;
        }
        ++m_at;
        function.parameters = int(m_parameters.size());
        if (!isOp(op('{')))
            return false;
        block();
        if (m_failed || m_at != m_end)
            return false;
        finishFunction(function);
        m_script.functions << function;
        m_readFunction = true;
        return true;
    }

private:
    struct Operand {
        Value value;
        // The variable it is, if any: a local, a field (".name"), or an element of the game's array by name.
        enum class Kind { None, Local, Field, Game } kind = Kind::None;
        QByteArrayView name = {}; // the local's or the field's, in the tokens
        QByteArray game = {}; // "game[name"
    };
    struct PendingCall {
        QByteArray callee;
        QList<Value> arguments;
    };

    QByteArrayView text(qsizetype k) const { return m_lexer.textOf(m_lexer.tokens()[k]); }
    bool at(Type type) const { return m_at < m_end && m_lexer.tokens()[m_at].type == type; }
    static constexpr quint16 op(char first, char second = 0) { return GscLexer::op(first, second); }
    bool isOp(quint16 code, qsizetype k = 0) const
    {
        return m_at + k < m_end && m_lexer.tokens()[m_at + k].op == code;
    }
    bool isIdentifier(QByteArrayView word, qsizetype k = 0) const
    {
        if (m_at + k >= m_end)
            return false;
        const Token &token = m_lexer.tokens()[m_at + k];
        return token.type == Type::Identifier && token.size == word.size()
            && qstrnicmp(m_lexer.textOf(token).data(), word.data(), word.size()) == 0;
    }
    bool accept(quint16 code)
    {
        if (isOp(code)) {
            ++m_at;
            return true;
        }
        fail();
        return false;
    }
    void fail()
    {
        m_failed = true;
        m_at = m_end;
    }

    void block()
    {
        if (!accept(op('{')))
            return;
        while (!m_failed && !isOp(op('}'))) {
            if (m_at >= m_end)
                return fail();
            statement();
        }
        ++m_at;
    }

    void condition()
    {
        if (accept(op('('))) {
            expression(false);
            accept(op(')'));
        }
    }

    void statement()
    {
        if (isOp(op('{')))
            return block();
        if (isOp(op(';'))) {
            ++m_at;
            return;
        }
        if (isIdentifier("if") || isIdentifier("while")) {
            ++m_at;
            condition();
            statement();
            if (isIdentifier("else")) {
                ++m_at;
                statement();
            }
            return;
        }
        if (isIdentifier("for")) {
            ++m_at;
            accept(op('('));
            if (!isOp(op(';')))
                simple();
            accept(op(';'));
            if (!isOp(op(';')))
                expression(false);
            accept(op(';'));
            if (!isOp(op(')')))
                simple();
            accept(op(')'));
            return statement();
        }
        if (isIdentifier("switch")) {
            ++m_at;
            condition();
            if (!accept(op('{')))
                return;
            while (!m_failed && !isOp(op('}'))) {
                if (m_at >= m_end)
                    return fail();
                if (isIdentifier("case")) {
                    ++m_at;
                    expression(false);
                    accept(op(':'));
                } else if (isIdentifier("default")) {
                    ++m_at;
                    accept(op(':'));
                } else {
                    statement();
                }
            }
            ++m_at;
            return;
        }
        if (isIdentifier("return") || isIdentifier("wait")) {
            ++m_at;
            if (!isOp(op(';')))
                expression(false);
            accept(op(';'));
            return;
        }
        if (isIdentifier("break") || isIdentifier("continue") || isIdentifier("waittillframeend")) {
            ++m_at;
            accept(op(';'));
            return;
        }
        simple();
        accept(op(';'));
    }

    // An expression, or an assignment to one.
    void simple()
    {
        const Operand target = postfix(false);
        Assignment assignment = Assignment::None;
        if (isOp(op('=')))
            assignment = Assignment::Set;
        else if (isOp(op('+', '=')))
            assignment = Assignment::Add;
        else if (isOp(op('-', '=')) || isOp(op('*', '=')) || isOp(op('/', '=')) || isOp(op('%', '=')) || isOp(op('|', '='))
            || isOp(op('&', '=')) || isOp(op('^', '=')) || isOp(op('+', '+')) || isOp(op('-', '-')))
            assignment = Assignment::Other;
        if (assignment == Assignment::None) {
            // The rest of an expression statement, as rare as it is.
            while (!m_failed && isBinary())
                binaryRest();
            return;
        }
        const bool step = isOp(op('+', '+')) || isOp(op('-', '-'));
        ++m_at;
        Value value = step ? Value {} : expression();
        if (target.kind == Operand::Kind::None)
            return;
        const QByteArray key = keyOf(target);
        switch (assignment) {
        case Assignment::Set: break;
        case Assignment::Add: value = Term::join({ selfOf(key) }, value); break;
        default: value = numberValue(); break;
        }
        if (!value.isEmpty())
            assign(key, value);
    }

    static QByteArray keyOf(const Operand &operand)
    {
        switch (operand.kind) {
        case Operand::Kind::Local: return operand.name.toByteArray();
        case Operand::Kind::Field: return "." + operand.name.toByteArray();
        case Operand::Kind::Game: return operand.game;
        case Operand::Kind::None: break;
        }
        return {};
    }

    QByteArray selfOf(const QByteArray &key) const
    {
        return isField(key) ? Term::single(Term::field, key) : Term::single(Term::local, key);
    }
    static bool isField(const QByteArray &key) { return key.startsWith('.') || key.startsWith("game["); }

    void assign(const QByteArray &key, const Value &value)
    {
        Value &values = isField(key) ? m_fields[key] : m_locals[key];
        for (const QByteArray &term : value) {
            if (!values.contains(term))
                values << term;
        }
        Term::cap(values);
    }

    bool isBinary() const
    {
        if (!at(Type::Operator))
            return false;
        const QByteArrayView op = text(m_at);
        if (op.size() == 1)
            return QByteArrayView("+-*/%<>&|^").contains(op[0]);
        return op == "==" || op == "!=" || op == "<=" || op == ">=" || op == "&&" || op == "||" || op == "<<"
            || op == ">>";
    }

    void binaryRest()
    {
        ++m_at;
        unary(false);
    }

    // Joined by + alone, the operands' terms one after another; by anything else, a value only the game knows.
    // The terms it can take, where `wanted`; where not, its calls alone are kept.
    Value expression(bool wanted = true)
    {
        Value value = unary(wanted);
        bool joined = true;
        while (!m_failed && isBinary()) {
            const bool plus = isOp(op('+'));
            ++m_at;
            const Value next = unary(wanted);
            if (plus && joined)
                value = Term::join(value, next);
            else
                joined = false;
        }
        return joined && wanted ? value : unknownValue();
    }

    Value unary(bool wanted)
    {
        if (isOp(op('!')) || isOp(op('-')) || isOp(op('~')) || isOp(op('&')) || isOp(op('%'))) {
            ++m_at;
            unary(false);
            return unknownValue();
        }
        return postfix(wanted).value;
    }

    // Whether the tokens from here call a function, so an object before them is the call's.
    bool startsCall() const
    {
        if (isIdentifier("thread"))
            return true;
        if (isOp(op('[')) && isOp(op('['), 1))
            return true;
        if (!at(Type::Identifier))
            return false;
        return isOp(op('('), 1) || isOp(op(':', ':'), 1) || isOp(op('\\'), 1);
    }

    Operand postfix(bool wanted)
    {
        Operand operand = primary(wanted);
        while (!m_failed) {
            if (isOp(op('.'))) {
                ++m_at;
                if (!at(Type::Identifier)) {
                    fail();
                    break;
                }
                operand.kind = Operand::Kind::Field;
                operand.name = text(m_at++);
                operand.value = wanted ? Value { selfOf(keyOf(operand)) } : unknownValue();
            } else if (isOp(op('[')) && !isOp(op('['), 1)) {
                ++m_at;
                const bool game = operand.kind == Operand::Kind::Local && operand.name == "game";
                const Value index = expression(game);
                accept(op(']'));
                // An element stands for the whole array, but the game's own array of names is taken by name.
                if (game && index.size() == 1 && Term::partsOf(index[0]).size() == 1
                    && Term::partsOf(index[0])[0].kind == Term::literal) {
                    operand.kind = Operand::Kind::Game;
                    operand.game = "game[" + Term::partsOf(index[0])[0].payload.toByteArray();
                    operand.value = wanted ? Value { selfOf(operand.game) } : unknownValue();
                }
            } else if (startsCall()) {
                operand = { call() }; // a call on an object: the object is only who runs it
            } else {
                break;
            }
        }
        return operand;
    }

    Operand primary(bool wanted)
    {
        if (m_at >= m_end) {
            fail();
            return {};
        }
        const Token &token = m_lexer.tokens()[m_at];
        switch (token.type) {
        case Type::String: {
            const QByteArrayView string = text(m_at++);
            if (!wanted)
                return { unknownValue() };
            return { { Term::single(Term::literal, string) } };
        }
        case Type::Number: ++m_at; return { numberValue() };
        case Type::Identifier: {
            if (startsCall())
                return { call() };
            const QByteArrayView name = text(m_at++);
            if (!wanted || name == "undefined" || name == "true" || name == "false")
                return { unknownValue(), Operand::Kind::Local, name };
            return { { Term::single(Term::local, name) }, Operand::Kind::Local, name };
        }
        case Type::Operator: break;
        }
        if (isOp(op('('))) {
            ++m_at;
            Value value = expression(wanted);
            while (!m_failed && isOp(op(','))) { // a vector
                ++m_at;
                expression(false);
                value = unknownValue();
            }
            accept(op(')'));
            return { value };
        }
        if (isOp(op('[')) && isOp(op('['), 1))
            return { call() };
        if (isOp(op('[')) && isOp(op(']'), 1)) {
            m_at += 2;
            return {}; // an empty array holds nothing yet
        }
        if (isOp(op(':', ':'))) {
            ++m_at;
            if (at(Type::Identifier))
                ++m_at;
            return { unknownValue() };
        }
        fail();
        return {};
    }

    // A call from here: its callee, its arguments, and what it gives.
    Value call()
    {
        if (isIdentifier("thread"))
            ++m_at;
        PendingCall pending;
        if (isOp(op('[')) && isOp(op('['), 1)) {
            m_at += 2;
            expression(false);
            accept(op(']'));
            accept(op(']'));
            pending.callee = "[[";
        } else {
            if (!at(Type::Identifier)) {
                fail();
                return {};
            }
            // The tokens stay while the function is read: a plain name is not copied.
            const QByteArrayView first = text(m_at++);
            QByteArray path = QByteArray::fromRawData(first.data(), first.size());
            while (!m_failed && isOp(op('\\'))) {
                ++m_at;
                if (!at(Type::Identifier))
                    fail();
                else
                    path += "/" + text(m_at++).toByteArray();
            }
            if (isOp(op(':', ':'))) {
                ++m_at;
                if (!at(Type::Identifier)) {
                    fail();
                    return {};
                }
                path += "::" + text(m_at++).toByteArray();
                if (!isOp(op('(')))
                    return unknownValue(); // a function's reference
            }
            pending.callee = path;
        }
        if (!accept(op('(')))
            return {};
        while (!m_failed && !isOp(op(')'))) {
            pending.arguments << expression();
            if (!isOp(op(')')) && !accept(op(',')))
                return {};
        }
        ++m_at;
        const QByteArray callee = pending.callee;
        const Value first = pending.arguments.value(0);
        if (!pending.arguments.isEmpty())
            m_calls << std::move(pending);
        if (callee == "getcvar") {
            Value value;
            for (const QByteArray &term : first)
                value << Term::single(Term::valueOf, term);
            return value;
        }
        if (givesPieceOf(callee)) {
            Value pieces;
            for (const QByteArray &term : first) {
                const QList<Term::Part> parts = Term::partsOf(term);
                if (parts.size() == 1 && parts[0].kind == Term::literal)
                    pieces << wordsOf(parts[0].payload);
                else
                    pieces << term;
            }
            Term::cap(pieces);
            return pieces;
        }
        return unknownValue();
    }

    // The terms a local may hold, its own earlier values put for itself where += adds to it.
    const Value &valuesOf(const QByteArray &name, int depth)
    {
        static const Value unknown { Term::single(Term::word) };
        if (const auto found = m_resolved.constFind(name); found != m_resolved.cend())
            return *found;
        if (depth > 6 || m_resolving.contains(name))
            return unknown;
        m_resolving.insert(name);
        const Value defined = m_locals.value(name);
        const qsizetype parameter = m_parameters.indexOf(name);
        Value base;
        if (parameter >= 0)
            base << Term::single(Term::parameter, QByteArray(1, char(parameter)));
        const QByteArray self = Term::single(Term::local, name);
        for (const QByteArray &term : defined) {
            if (!term.contains(self))
                base << resolve(term, depth + 1, {});
        }
        if (base.isEmpty() && defined.isEmpty())
            base = unknown; // given by the game (waittill) or by nothing
        Value all = base;
        for (const QByteArray &term : defined) {
            if (term.contains(self))
                all << resolve(term, depth + 1, { name, &base });
        }
        Value distinct;
        for (const QByteArray &term : std::as_const(all)) {
            if (!distinct.contains(term))
                distinct << term;
        }
        all = distinct;
        Term::cap(all);
        m_resolving.remove(name);
        return m_resolved[name] = all;
    }

    struct Self {
        QByteArray name;
        const Value *base = nullptr;
    };

    // `term` with its locals put as the terms they may hold.
    Value resolve(const QByteArray &term, int depth, const Self &self)
    {
        if (!Term::holds(term, Term::local) && !Term::holds(term, Term::valueOf))
            return { term };
        Value value { QByteArray() };
        for (const Term::Part &part : Term::partsOf(term)) {
            Value piece;
            if (part.kind == Term::local) {
                const QByteArray name = part.payload.toByteArray();
                piece = name == self.name ? *self.base : valuesOf(name, depth);
            } else if (part.kind == Term::valueOf) {
                for (const QByteArray &inner : resolve(part.payload.toByteArray(), depth + 1, self))
                    piece << Term::single(Term::valueOf, inner);
            } else {
                QByteArray single;
                Term::append(single, part);
                piece << single;
            }
            value = Term::join(value, piece);
        }
        return value;
    }

    Value resolved(const Value &value, bool parametersKnown)
    {
        Value out;
        for (const QByteArray &term : value) {
            for (QByteArray built : resolve(term, 0, {})) {
                if (!parametersKnown && Term::holds(built, Term::parameter)) {
                    // What a field is given from a parameter is not followed.
                    built = Term::single(Term::word);
                }
                if (Term::possible(built) && !out.contains(built))
                    out << built;
            }
        }
        Term::cap(out);
        return out;
    }

    void finishFunction(GscScript::Function &function)
    {
        // A few bytes of calls may build many terms: each is counted as it is made.
        for (const PendingCall &pending : std::as_const(m_calls)) {
            QList<Value> arguments;
            for (const Value &argument : pending.arguments)
                arguments << resolved(argument, true);
            const qsizetype before = function.calls.size();
            GscScript::appendCall(function.calls, pending.callee, arguments);
            m_budget -= function.calls.size() - before;
            if (m_budget < 0)
                return;
        }
        for (auto it = m_fields.cbegin(); it != m_fields.cend(); ++it) {
            const qsizetype before = m_script.fields.size();
            GscScript::appendField(m_script.fields, it.key(), resolved(*it, false));
            m_budget -= m_script.fields.size() - before;
            if (m_budget < 0)
                return;
        }
    }

    const GscLexer &m_lexer;
    qsizetype m_at = 0;
    const qsizetype m_end;
    GscScript &m_script;
    qint64 m_budget;
    bool m_failed = false;
    bool m_readFunction = false;
    QList<QByteArray> m_parameters;
    QHash<QByteArray, Value> m_locals;
    QHash<QByteArray, Value> m_fields;
    QList<PendingCall> m_calls;
    QHash<QByteArray, Value> m_resolved;
    QSet<QByteArray> m_resolving;
};

} // namespace

void GscReader::giveUp()
{
    m_script.followed = false;
    m_script.includes.clear();
    m_script.functions.clear();
    m_script.fields.clear();
}

void GscReader::cutShort()
{
    // What the script reads is not known; nothing of it is worth keeping.
    m_script = GscScript();
    m_script.cut = true;
}

void GscReader::readItems()
{
    const std::vector<Token> &tokens = m_lexer.tokens();
    qsizetype first = 0; // of the item being looked for
    while (m_script.followed && !m_script.cut && m_scanned < qsizetype(tokens.size())) {
        const Token &token = tokens[m_scanned++];
        switch (token.op) {
        case GscLexer::op('{'): ++m_depth; break;
        case GscLexer::op('}'): --m_depth; break;
        case GscLexer::op('('): ++m_parentheses; break;
        case GscLexer::op(')'): --m_parentheses; break;
        case GscLexer::op(';'): break;
        default: continue;
        }
        if (m_depth < 0 || m_parentheses < 0)
            return giveUp();
        if (!((token.op == GscLexer::op('}') && m_depth == 0)
                || (token.op == GscLexer::op(';') && m_depth == 0 && m_parentheses == 0)))
            continue;
        const qsizetype before = m_script.fields.size() + m_script.includes.size() * 64;
        FunctionReader reader(m_lexer, m_scanned, m_script, mostKept - m_cost);
        const bool read = reader.readItem(first);
        if (reader.overBudget()) {
            cutShort();
            break;
        }
        if (!read)
            return giveUp();
        m_cost += m_script.fields.size() + m_script.includes.size() * 64 - before;
        if (read && !m_script.functions.isEmpty() && reader.readFunction())
            m_cost += 96 + m_script.functions.constLast().name.size() + m_script.functions.constLast().calls.size();
        if (m_cost > mostKept) {
            cutShort();
            break;
        }
        first = m_scanned;
    }
    if (!m_script.followed || m_script.cut || m_scanned - first > mostTokens) {
        if (m_script.followed && !m_script.cut)
            giveUp();
        m_lexer.readStringsOnly();
        m_scanned = 0;
        return;
    }
    // What was read is forgotten; the item still open stays.
    m_lexer.take(first);
    m_scanned -= first;
}

void GscReader::read(QByteArrayView piece)
{
    m_lexer.read(piece);
    readItems();
}

GscScript GscReader::finish()
{
    m_lexer.finish();
    readItems();
    if (m_script.followed && !m_script.cut && !m_lexer.tokens().empty())
        giveUp(); // a function with no end
    if (!m_script.followed && !m_script.cut) {
        m_script.strings = m_lexer.nameLikeStrings();
        if (m_lexer.cut())
            cutShort();
    }
    return std::move(m_script);
}
