#include "gamefolder/gsclexer.h"

#include <algorithm>
#include <cstring>

namespace {

bool isIdentifierStart(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isNameCharacter(char c)
{
    return isIdentifierStart(c) || isDigit(c);
}

// Whether `first` and `second` are one operator.
bool joins(char first, char second)
{
    switch (first) {
    case '=': case '!': case '<': case '>': return second == '=' || second == first;
    case '&': case '|': case '+': case '-': return second == '=' || second == first;
    case '*': case '%': case '^': return second == '=';
    case ':': return second == ':';
    case '.': return false;
    case '#': return second == '/'; // the end of a developer block
    default: return false;
    }
}

bool mayJoin(char c)
{
    return c == '=' || c == '!' || c == '<' || c == '>' || c == '&' || c == '|' || c == '+' || c == '-' || c == '*'
        || c == '%' || c == '^' || c == ':' || c == '#' || c == '.';
}

// Appends `run` to `text`, in lower case: the game matches names in any letter case. Grown by hand: a
// token is a few bytes, and QByteArray::append takes longer over each than the copy.
void appendLower(QByteArray &text, const char *run, qsizetype size)
{
    const qsizetype at = text.size();
    if (text.capacity() < at + size)
        text.reserve(2 * (at + size) + 256);
    text.resize(at + size);
    char *to = text.data() + at;
    for (qsizetype k = 0; k < size; ++k)
        to[k] = run[k] >= 'A' && run[k] <= 'Z' ? char(run[k] + ('a' - 'A')) : run[k];
}

} // namespace

void GscLexer::begin(Type type)
{
    if (m_tokens.empty())
        m_tokens.reserve(1024); // a function's worth, kept across the functions of a script
    m_open = { type, 0, quint32(m_text.size()), 0 };
    m_stringCut = false;
}

void GscLexer::readStringsOnly()
{
    m_stringsOnly = true;
    take(m_tokens.size());
}

void GscLexer::end()
{
    m_state = State::Code;
    if (m_stringsOnly) {
        m_text.resize(m_open.at);
        return;
    }
    m_open.size = quint32(m_text.size()) - m_open.at;
    if (m_open.type == Type::Operator)
        m_open.op = op(m_text[m_open.at], m_open.size > 1 ? m_text[m_open.at + 1] : 0);
    m_tokens.push_back(m_open);
    m_state = State::Code;
}

void GscLexer::endString()
{
    const QByteArrayView text = QByteArrayView(m_text).sliced(m_open.at);
    if (!m_stringCut && !text.isEmpty() && std::all_of(text.begin(), text.end(), isNameCharacter)
        && std::any_of(text.begin(), text.end(), [](char c) { return !isDigit(c) && c != '_'; })) {
        if (!m_cut) {
            m_strings.append(text);
            m_strings.append('\n');
            // Scripts name the same few over and over: the copies go now and then.
            if (++m_stringCount > 2 * mostStrings)
                keepDistinct();
        }
    }
    if (m_stringCut)
        m_text.append('\n'); // a string cut short names nothing
    end();
}

void GscLexer::keepDistinct()
{
    QList<QByteArrayView> strings;
    strings.reserve(m_stringCount);
    for (qsizetype at = 0, end; (end = m_strings.indexOf('\n', at)) >= 0; at = end + 1)
        strings << QByteArrayView(m_strings).sliced(at, end - at);
    std::sort(strings.begin(), strings.end());
    strings.erase(std::unique(strings.begin(), strings.end()), strings.end());
    QByteArray distinct;
    distinct.reserve(m_strings.size());
    for (const QByteArrayView string : std::as_const(strings)) {
        distinct.append(string);
        distinct.append('\n');
    }
    m_strings = distinct;
    m_stringCount = strings.size();
    if (m_stringCount > mostStrings) {
        m_cut = true;
        m_strings.clear();
    }
}

QByteArray GscLexer::nameLikeStrings()
{
    keepDistinct();
    return m_strings;
}

void GscLexer::step(char c)
{
    switch (m_state) {
    case State::Code:
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r')
            return;
        if (isIdentifierStart(c)) {
            begin(Type::Identifier);
            appendLower(m_text, &c, 1);
            m_state = State::Identifier;
        } else if (isDigit(c)) {
            begin(Type::Number);
            m_text.append(c);
            m_state = State::Number;
        } else if (c == '"') {
            begin(Type::String);
            m_state = State::String;
        } else if (c == '/') {
            m_state = State::Slash;
        } else if (mayJoin(c)) {
            m_pending = c;
            m_state = State::Operator;
        } else {
            begin(Type::Operator);
            m_text.append(c);
            end();
        }
        return;
    case State::Identifier:
    case State::Number:
        if (isNameCharacter(c) || (m_state == State::Number && c == '.')) {
            if (m_text.size() - m_open.at < longestString)
                appendLower(m_text, &c, 1);
            return;
        }
        end();
        return step(c);
    case State::String:
        if (c == '"')
            return endString();
        if (c == '\n') // a string does not run over a line: whatever broke it ends here
            return endString();
        if (c == '\\') {
            m_state = State::StringEscape;
            m_stringCut = true; // an escape is nothing a name holds
            return;
        }
        if (m_text.size() - m_open.at < longestString)
            appendLower(m_text, &c, 1);
        else
            m_stringCut = true;
        return;
    case State::StringEscape:
        m_state = State::String;
        return;
    case State::Slash:
        if (c == '/') {
            m_state = State::LineComment;
        } else if (c == '*') {
            m_state = State::BlockComment;
        } else if (c == '#') {
            m_state = State::Code; // a developer block's code is code
        } else {
            begin(Type::Operator);
            m_text.append('/');
            if (c == '=') {
                m_text.append(c);
                end();
                return;
            }
            end();
            step(c);
        }
        return;
    case State::LineComment:
        if (c == '\n')
            m_state = State::Code;
        return;
    case State::BlockComment:
        if (c == '*')
            m_state = State::BlockStar;
        return;
    case State::BlockStar:
        if (c == '/')
            m_state = State::Code;
        else if (c != '*')
            m_state = State::BlockComment;
        return;
    case State::Operator: {
        const char first = std::exchange(m_pending, 0);
        m_state = State::Code;
        if (first == '.' && isDigit(c)) { // .5
            begin(Type::Number);
            m_text.append(first);
            m_text.append(c);
            m_state = State::Number;
            return;
        }
        if (joins(first, c)) {
            if (first == '#')
                return; // the end of a developer block
            begin(Type::Operator);
            m_text.append(first);
            m_text.append(c);
            end();
            return;
        }
        begin(Type::Operator);
        m_text.append(first);
        end();
        step(c);
        return;
    }
    }
}

void GscLexer::read(QByteArrayView piece)
{
    const char *at = piece.data();
    const char *const stop = at + piece.size();
    // Most of a script is blanks, comments, names and strings: their runs are taken whole.
    while (at < stop) {
        switch (m_state) {
        case State::Code:
            if (m_stringsOnly) {
                // Only what starts a string or a comment matters, and what could end a developer block.
                while (at < stop && *at != '"' && *at != '/' && *at != '#')
                    ++at;
            }
            while (at < stop && (*at == ' ' || *at == '\t' || *at == '\n' || *at == '\r'))
                ++at;
            if (at == stop)
                return;
            if (isIdentifierStart(*at)) {
                begin(Type::Identifier);
                m_state = State::Identifier;
                continue;
            }
            if (*at == '"') {
                begin(Type::String);
                m_state = State::String;
                ++at;
                continue;
            }
            break;
        case State::LineComment: {
            const char *newline = static_cast<const char *>(std::memchr(at, '\n', size_t(stop - at)));
            if (!newline)
                return;
            at = newline + 1;
            m_state = State::Code;
            continue;
        }
        case State::BlockComment: {
            const char *star = static_cast<const char *>(std::memchr(at, '*', size_t(stop - at)));
            if (!star)
                return;
            at = star;
            break;
        }
        case State::Identifier:
        case State::String: {
            const char *run = at;
            if (m_state == State::Identifier) {
                while (run < stop && isNameCharacter(*run))
                    ++run;
            } else {
                while (run < stop && *run != '"' && *run != '\\' && *run != '\n')
                    ++run;
            }
            const qsizetype room = std::max<qsizetype>(0, longestString - (m_text.size() - m_open.at));
            if (m_state == State::String && run - at > room)
                m_stringCut = true;
            appendLower(m_text, at, std::min<qsizetype>(room, run - at));
            at = run;
            if (at == stop)
                return;
            if (m_state == State::Identifier) {
                end();
                continue;
            }
            break;
        }
        default: break;
        }
        step(*at++);
    }
}

void GscLexer::finish()
{
    switch (m_state) {
    case State::Identifier:
    case State::Number: end(); break;
    case State::String:
    case State::StringEscape:
        m_stringCut = true;
        endString();
        break;
    case State::Slash:
        begin(Type::Operator);
        m_text.append('/');
        end();
        break;
    case State::Operator:
        if (m_pending != '#') {
            begin(Type::Operator);
            m_text.append(m_pending);
            end();
        }
        m_pending = 0;
        break;
    default: break;
    }
    m_state = State::Code;
}

void GscLexer::take(qsizetype count)
{
    if (count <= 0)
        return;
    if (count >= qsizetype(m_tokens.size())) {
        // Keep what an open token has gathered.
        const quint32 from = m_state == State::Code || m_state == State::Operator || m_state == State::Slash
                || m_state == State::LineComment || m_state == State::BlockComment || m_state == State::BlockStar
            ? quint32(m_text.size())
            : m_open.at;
        m_text.remove(0, from);
        m_open.at -= from;
        m_tokens.clear();
        return;
    }
    const quint32 from = m_tokens[count].at;
    m_text.remove(0, from);
    m_tokens.erase(m_tokens.begin(), m_tokens.begin() + count);
    for (Token &token : m_tokens)
        token.at -= from;
    m_open.at -= std::min(m_open.at, from);
}
