#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QSet>

#include <vector>

// The tokens of a game script (.gsc) as the game's compiler splits them:
// identifiers, numbers, strings (in lower case, as the game matches names
// in any letter case), and operators of one or two characters;
// comments (//, /* */) and the markers of developer blocks (/# #/) are left
// out. The script comes in pieces of any size, as an archive inflates it;
// the tokens come out the same whatever the pieces. Tokens gather until the
// reader takes them (take()), so a caller holds no more than a function's.
class GscLexer {
public:
    enum class Type : quint8 { Identifier, Number, String, Operator };
    struct Token {
        Type type;
        quint16 op; // an operator's characters, the first in the low byte (see op()); 0 for other tokens
        quint32 at; // in text()
        quint32 size;
    };
    static constexpr quint16 op(char first, char second = 0) { return quint16(quint8(first) | (quint8(second) << 8)); }
    // Longer than any name a script reads: a longer identifier is cut, a longer string kept no further.
    static constexpr qsizetype longestString = 1024;
    // More name-like strings than a script reads: past it, cut() says so.
    static constexpr qsizetype mostStrings = 1 << 16;

    void read(QByteArrayView piece);
    // Ends the script: a token still open is whole.
    void finish();

    const std::vector<Token> &tokens() const { return m_tokens; }
    QByteArrayView textOf(const Token &token) const { return QByteArrayView(m_text).sliced(token.at, token.size); }
    // Forgets the first `count` tokens.
    void take(qsizetype count);
    // From now on gathers no tokens, only the strings nameLikeStrings() gives: what is read of a script that
    // cannot be followed. The strings are the same as when every token is gathered.
    void readStringsOnly();

    // Every string of the script made only of letters, digits and "_", with a letter, once each and
    // sorted, each ended by a line break: what it may name variables by, for a script that cannot be
    // followed. One block, as a folder keeps thousands of scripts.
    QByteArray nameLikeStrings();
    bool cut() const { return m_cut; }

private:
    enum class State { Code, Identifier, Number, String, StringEscape, Slash, LineComment, BlockComment, BlockStar, Operator };
    void begin(Type type);
    void end();
    void endString();
    void step(char c);

    State m_state = State::Code;
    QByteArray m_text; // of the tokens not taken yet
    std::vector<Token> m_tokens;
    Token m_open { Type::Identifier, 0, 0, 0 };
    bool m_stringCut = false;
    char m_pending = 0; // the first character of an operator that may take a second
    void keepDistinct();
    QByteArray m_strings; // each ended by a line break, some more than once
    qsizetype m_stringCount = 0;
    bool m_stringsOnly = false;
    bool m_cut = false;
};
