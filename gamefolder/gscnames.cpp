#include "gamefolder/gscnames.h"

#include <algorithm>
#include <cstring>

namespace {

bool isNameCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

} // namespace

QByteArray GscNames::joined() const
{
    QByteArray joined;
    for (const QByteArray &name : m_names)
        joined += name + '\n';
    return joined;
}

void GscNames::endString()
{
    if (m_nameLike && m_hasLetter && !m_string.isEmpty()) {
        if (m_names.size() < mostNames)
            m_names.insert(m_string);
        else if (!m_names.contains(m_string))
            m_cut = true;
    }
    m_string.clear();
}

void GscNames::read(QByteArrayView piece)
{
    const char *at = piece.data();
    const char *const end = at + piece.size();
    while (at < end) {
        switch (m_state) {
        case State::Code:
            // Most of a script is code: skip to the next quote or slash.
            while (at < end && *at != '"' && *at != '/')
                ++at;
            if (at == end)
                return;
            if (*at == '"') {
                m_state = State::String;
                m_nameLike = true;
                m_hasLetter = false;
            } else {
                m_state = State::Slash;
            }
            ++at;
            break;
        case State::Slash:
            if (*at == '/') {
                m_state = State::LineComment;
                ++at;
            } else if (*at == '*') {
                m_state = State::BlockComment;
                ++at;
            } else {
                m_state = State::Code; // the character after the slash is code again
            }
            break;
        case State::LineComment: {
            const char *newline = static_cast<const char *>(std::memchr(at, '\n', size_t(end - at)));
            if (!newline)
                return;
            m_state = State::Code;
            at = newline + 1;
            break;
        }
        case State::BlockComment: {
            const char *star = static_cast<const char *>(std::memchr(at, '*', size_t(end - at)));
            if (!star)
                return;
            m_state = State::BlockStar;
            at = star + 1;
            break;
        }
        case State::BlockStar:
            if (*at == '/')
                m_state = State::Code;
            else if (*at != '*')
                m_state = State::BlockComment;
            ++at;
            break;
        case State::String: {
            // The run of the string up to its next quote, backslash or line end, taken whole.
            const char *run = at;
            while (at < end && *at != '"' && *at != '\\' && *at != '\n')
                ++at;
            if (m_nameLike) {
                const QByteArrayView piece(run, at - run);
                if (m_string.size() + piece.size() <= longestName
                    && std::all_of(piece.begin(), piece.end(), isNameCharacter)) {
                    m_string.append(piece);
                    m_hasLetter = m_hasLetter || std::any_of(piece.begin(), piece.end(), isLetter);
                } else {
                    m_nameLike = false;
                    m_string.clear();
                }
            }
            if (at == end)
                return;
            const char c = *at++;
            if (c == '"') {
                endString();
                m_state = State::Code;
            } else if (c == '\\') {
                m_nameLike = false;
                m_state = State::StringEscape;
            } else {
                // A string does not run over a line: whatever broke it (noise, a lost quote) ends here.
                m_nameLike = false;
                endString();
                m_state = State::Code;
            }
            break;
        }
        case State::StringEscape:
            ++at;
            m_state = State::String;
            break;
        }
    }
}
