#pragma once

#include <QByteArrayView>

#include <algorithm>
#include <optional>

// The text of a map's entities and of an arena file, cut as the game's parser
// cuts it: quoted strings (a missing closing quote ends at the end of the
// text), and bare words up to a blank, with // and /* */ comments skipped.
class GameTextTokens {
public:
    struct Token {
        QByteArrayView text; // a quoted one without its quotes
        bool quoted;
        bool sameLine; // no line break since the token before
    };

    explicit GameTextTokens(QByteArrayView text)
        : m_text(text)
    {
    }

    std::optional<Token> next()
    {
        bool sameLine = true;
        while (m_at < m_text.size()) {
            const char c = m_text[m_at];
            if (c == '\n') {
                sameLine = false;
                ++m_at;
            } else if (quint8(c) <= ' ') {
                ++m_at;
            } else if (m_text.sliced(m_at).startsWith("//")) {
                const qsizetype end = m_text.indexOf('\n', m_at);
                m_at = end < 0 ? m_text.size() : end;
            } else if (m_text.sliced(m_at).startsWith("/*")) {
                const qsizetype end = m_text.indexOf("*/", m_at + 2);
                const qsizetype after = end < 0 ? m_text.size() : end + 2;
                sameLine = sameLine && !m_text.sliced(m_at, after - m_at).contains('\n');
                m_at = after;
            } else {
                break;
            }
        }
        if (m_at >= m_text.size())
            return std::nullopt;
        const qsizetype start = m_at;
        if (m_text[m_at] == '"') {
            qsizetype close = m_text.indexOf('"', start + 1);
            if (close < 0)
                close = m_text.size();
            m_at = std::min(close + 1, m_text.size());
            return Token { m_text.sliced(start + 1, close - start - 1), true, sameLine };
        }
        while (m_at < m_text.size() && quint8(m_text[m_at]) > ' ')
            ++m_at;
        return Token { m_text.sliced(start, m_at - start), false, sameLine };
    }

private:
    QByteArrayView m_text;
    qsizetype m_at = 0;
};
