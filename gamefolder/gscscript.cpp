#include "gamefolder/gscscript.h"

#include <algorithm>

namespace {

// The longest literal kept: longer than any name, so that such a literal names nothing.
constexpr qsizetype longestLiteral = 255;

bool isNameCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

qint64 costOf(const GscScript::Value &value)
{
    qint64 cost = 16;
    for (const QByteArray &term : value)
        cost += 32 + term.size();
    return cost;
}

} // namespace

qint64 GscScript::cost() const
{
    qint64 cost = 256;
    for (const QByteArray &include : includes)
        cost += 32 + include.size();
    for (const Function &function : functions) {
        cost += 64 + function.name.size();
        for (const Call &call : function.calls) {
            cost += 48 + call.callee.size();
            for (const Value &argument : call.arguments)
                cost += costOf(argument);
        }
    }
    for (const auto &[key, value] : fields)
        cost += 32 + key.size() + costOf(value);
    for (const QByteArray &string : strings)
        cost += 32 + string.size();
    return cost;
}

namespace GscTerm {

QList<Part> partsOf(QByteArrayView term)
{
    QList<Part> parts;
    qsizetype at = 0;
    while (at < term.size()) {
        const char kind = term[at++];
        if (kind == parameter) {
            if (at >= term.size())
                break;
            parts.append(Part { kind, term.sliced(at, 1) });
            ++at;
        } else if (hasPayload(kind)) {
            if (at >= term.size())
                break;
            const qsizetype size = quint8(term[at++]);
            if (at + size > term.size())
                break;
            parts.append(Part { kind, term.sliced(at, size) });
            at += size;
        } else {
            parts.append(Part { kind, {} });
        }
    }
    return parts;
}

namespace {

// Where the last part of `term` starts, and its kind; -1 for none.
std::pair<qsizetype, char> lastPart(QByteArrayView term)
{
    qsizetype at = 0, last = -1;
    char kind = 0;
    while (at < term.size()) {
        last = at;
        kind = term[at++];
        if (kind == parameter)
            ++at;
        else if (hasPayload(kind) && at < term.size())
            at += 1 + quint8(term[at]);
    }
    return { last, kind };
}

int partCount(QByteArrayView term)
{
    return int(partsOf(term).size());
}

} // namespace

void append(QByteArray &term, const Part &part)
{
    if (term.endsWith(rest))
        return; // anything may follow already
    if (part.kind == literal) {
        if (part.payload.isEmpty())
            return;
        const auto [at, kind] = lastPart(term);
        if (kind == literal) {
            const qsizetype size = quint8(term[at + 1]) + part.payload.size();
            if (size > longestLiteral) {
                term = single(impossible);
                return;
            }
            term[at + 1] = char(quint8(size));
            term.append(part.payload);
            return;
        }
        if (part.payload.size() > longestLiteral) {
            term = single(impossible);
            return;
        }
    }
    if (partCount(term) >= mostParts - 1) {
        term.append(rest);
        return;
    }
    term.append(part.kind);
    if (part.kind == parameter)
        term.append(part.payload.isEmpty() ? char(0) : part.payload[0]);
    else if (hasPayload(part.kind)) {
        const QByteArrayView payload = part.payload.first(std::min<qsizetype>(part.payload.size(), longestLiteral));
        term.append(char(quint8(payload.size())));
        term.append(payload);
    }
}

QByteArray single(char kind, QByteArrayView payload)
{
    QByteArray term;
    append(term, { kind, payload });
    if (term.isEmpty() && kind == literal)
        return term; // the empty string
    return term;
}

GscScript::Value join(const GscScript::Value &a, const GscScript::Value &b)
{
    GscScript::Value joined;
    for (const QByteArray &first : a) {
        for (const QByteArray &second : b) {
            QByteArray term = first;
            for (const Part &part : partsOf(second))
                append(term, part);
            if (!joined.contains(term))
                joined << term;
        }
    }
    cap(joined);
    return joined;
}

bool holds(QByteArrayView term, char kind)
{
    const QList<Part> parts = partsOf(term);
    return std::any_of(parts.cbegin(), parts.cend(), [kind](const Part &part) { return part.kind == kind; });
}

bool possible(QByteArrayView term)
{
    for (const Part &part : partsOf(term)) {
        if (part.kind == impossible)
            return false;
        if (part.kind == literal && !std::all_of(part.payload.begin(), part.payload.end(), isNameCharacter))
            return false;
    }
    return true;
}

void cap(GscScript::Value &values)
{
    if (values.size() <= mostTerms)
        return;
    values.resize(mostTerms - 1);
    values << single(word);
}

} // namespace GscTerm
