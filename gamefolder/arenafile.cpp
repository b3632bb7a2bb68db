#include "gamefolder/arenafile.h"

#include <optional>

namespace ArenaFile {

namespace {

struct Token {
    QByteArrayView text;
    bool sameLine; // no line break since the token before
    bool quoted;
};

class Tokens {
public:
    explicit Tokens(QByteArrayView text)
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
            return Token { m_text.sliced(start + 1, close - start - 1), sameLine, true };
        }
        while (m_at < m_text.size() && quint8(m_text[m_at]) > ' ')
            ++m_at;
        return Token { m_text.sliced(start, m_at - start), sameLine, false };
    }

private:
    QByteArrayView m_text;
    qsizetype m_at = 0;
};

} // namespace

QList<Entry> read(QByteArrayView text)
{
    QList<Entry> entries;
    Tokens tokens(text);
    std::optional<Entry> block;
    std::optional<Token> token = tokens.next();
    while (token) {
        if (!token->quoted && token->text == "{") {
            block = Entry();
        } else if (!token->quoted && token->text == "}") {
            if (block && !block->map.isEmpty())
                entries << *block;
            block.reset();
        } else if (block) {
            const QByteArrayView key = token->text;
            std::optional<Token> value = tokens.next();
            const bool brace = value && !value->quoted && (value->text == "{" || value->text == "}");
            if (!value || !value->sameLine || brace) {
                token = value; // the key stands alone; what follows is a token of its own
                continue;
            }
            if (key.compare("map", Qt::CaseInsensitive) == 0)
                block->map = QString::fromLatin1(value->text);
            else if (key.compare("longname", Qt::CaseInsensitive) == 0)
                block->longName = QString::fromLatin1(value->text);
        }
        token = tokens.next();
    }
    return entries;
}

} // namespace ArenaFile
