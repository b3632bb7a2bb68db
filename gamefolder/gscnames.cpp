#include "gamefolder/gscnames.h"

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
            const char c = *at++;
            if (c == '"') {
                endString();
                m_state = State::Code;
            } else if (c == '\\') {
                m_nameLike = false;
                m_state = State::StringEscape;
            } else if (c == '\n') {
                // A string does not run over a line: whatever broke it (noise, a lost quote) ends here.
                m_nameLike = false;
                endString();
                m_state = State::Code;
            } else if (m_nameLike) {
                if (isNameCharacter(c) && m_string.size() < longestName) {
                    m_string.append(c);
                    m_hasLetter = m_hasLetter || isLetter(c);
                } else {
                    m_nameLike = false;
                    m_string.clear();
                }
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
