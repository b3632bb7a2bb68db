#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QSet>

// The strings of a game script (.gsc) that could name a variable: a script
// reads one by its name in a string, getcvar("scr_x"), getcvarint or
// getcvarfloat, or keeps the name in a string it builds a name from
// ("scr_x_welcome" + i). Every string made only of letters, digits and "_",
// with a letter, counts; comments do not. The script comes in pieces of any
// size, as an archive inflates it, and costs no more memory than its names:
// a string longer than any name is not kept, and past mostNames none are.
class GscNames {
public:
    // Longer than any variable name a script reads.
    static constexpr qsizetype longestName = 64;
    // Real scripts name a few hundred; a mod's whole folder a few thousand.
    static constexpr qsizetype mostNames = 1 << 16;

    // The next piece of the script.
    void read(QByteArrayView piece);

    // As written.
    const QSet<QByteArray> &names() const { return m_names; }
    // The same, each ended by a line break: one block, as a folder keeps the names of thousands of scripts.
    QByteArray joined() const;
    // Whether names were left out because the script holds over mostNames.
    bool cut() const { return m_cut; }

private:
    enum class State { Code, Slash, LineComment, BlockComment, BlockStar, String, StringEscape };
    void endString();

    State m_state = State::Code;
    QByteArray m_string; // the string read so far, while it may still be a name
    bool m_nameLike = false;
    bool m_hasLetter = false;
    QSet<QByteArray> m_names;
    bool m_cut = false;
};
