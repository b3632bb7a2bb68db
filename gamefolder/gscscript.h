#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <utility>

// What a game script (.gsc) does with the names of variables, as GscReader
// reads it: each function's calls, with the names each argument can take,
// and what the script stores in the level's fields. A folder keeps thousands,
// so a name is kept as a term: a few bytes a part (see GscTerm).
struct GscScript {
    using Term = QByteArray;
    using Value = QList<Term>; // the terms one expression can take
    struct Function {
        QByteArray name; // lower case
        int parameters = 0;
        QByteArray calls; // one after another, as appendCall() writes them

        friend bool operator==(const Function &, const Function &) = default;
    };
    // A call as kept: its callee, lower case ("name", "path/file::name", or "[[" for a call through a
    // variable), and its arguments, read with argumentsOf().
    struct Call {
        QByteArrayView callee;
        QByteArrayView arguments;
        int count = 0;
    };
    QList<QByteArray> includes; // the files #include names, "path/file", lower case
    QList<Function> functions;
    QByteArray fields; // what a field (".name", "game[name]") is given, as appendField() writes it
    // Where the script could not be followed as the game runs it, its name-like strings: what it may build names
    // from; each is taken as read, whole or built on.
    bool followed = true;
    QByteArray strings; // each ended by a line break
    bool cut = false; // past what one script may hold: what it reads is not known

    // What keeping it costs, in bytes, about.
    qint64 cost() const;

    static void appendCall(QByteArray &calls, QByteArrayView callee, const QList<Value> &arguments);
    static QList<Call> callsOf(QByteArrayView calls);
    static QList<Value> argumentsOf(const Call &call);
    static void appendField(QByteArray &fields, QByteArrayView key, const Value &value);
    static QList<std::pair<QByteArray, Value>> fieldsOf(QByteArrayView fields);

    friend bool operator==(const GscScript &, const GscScript &) = default;
};

// A term is a run of parts, each a kind byte and its facts:
//   L n text   a literal (lower case) of n bytes
//   N W T M R  a number; a word known only when the game runs; the gametype; the map name; anything or nothing
//   P i        the function's parameter i
//   G n key    the field `key` of the level (or of anything: fields are taken by name)
//   V n term   the value of the variable that `term` names
//   A n name   a local variable, only while its function is read
//   X          nothing a name could be made of
namespace GscTerm {

inline constexpr char literal = 'L', number = 'N', word = 'W', gametype = 'T', map = 'M', rest = 'R', parameter = 'P',
                      field = 'G', valueOf = 'V', local = 'A', impossible = 'X';
// A term of more parts is cut, and ends with rest.
inline constexpr int mostParts = 12;
// A value of more terms keeps this many, and a word.
inline constexpr qsizetype mostTerms = 16;

struct Part {
    char kind;
    QByteArrayView payload; // the text, key, name or inner term; for a parameter, its index as one byte
};

inline bool hasPayload(char kind)
{
    return kind == literal || kind == field || kind == valueOf || kind == local;
}

// The parts of `term`, in order; a broken term has none past where it breaks.
QList<Part> partsOf(QByteArrayView term);
// `term` with `part` added at its end, joining neighbouring literals; a literal too long to name anything
// makes the term impossible.
void append(QByteArray &term, const Part &part);
QByteArray single(char kind, QByteArrayView payload = {});
// Every term of `a` followed by every term of `b`, no more than mostTerms.
GscScript::Value join(const GscScript::Value &a, const GscScript::Value &b);
// Whether a term holds a part of `kind`, not looking into the terms of values.
bool holds(QByteArrayView term, char kind);
// Whether the term can still name a variable: no impossible part, no literal with what no name holds.
bool possible(QByteArrayView term);
// `values` with at most mostTerms terms, the rest replaced by a word.
void cap(GscScript::Value &values);

} // namespace GscTerm
