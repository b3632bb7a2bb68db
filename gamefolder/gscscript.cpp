#include "gamefolder/gscscript.h"

#include <algorithm>

namespace {

// The longest literal kept: longer than any name, so that such a literal names nothing.
constexpr qsizetype longestLiteral = 255;

bool isNameCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

void appendValue(QByteArray &blob, const GscScript::Value &value)
{
    const qsizetype count = std::min<qsizetype>(value.size(), 255);
    blob.append(char(count));
    for (qsizetype k = 0; k < count; ++k) {
        const qsizetype size = std::min<qsizetype>(value[k].size(), 0xffff);
        blob.append(char(size & 0xff));
        blob.append(char(size >> 8));
        blob.append(value[k].first(size));
    }
}

// The value at `at` of `blob`, moving `at` past it; what breaks off is left out.
GscScript::Value valueAt(QByteArrayView blob, qsizetype &at)
{
    GscScript::Value value;
    if (at >= blob.size())
        return value;
    const int count = quint8(blob[at++]);
    for (int k = 0; k < count && at + 2 <= blob.size(); ++k) {
        const qsizetype size = quint8(blob[at]) | (qsizetype(quint8(blob[at + 1])) << 8);
        at += 2;
        if (at + size > blob.size()) {
            at = blob.size();
            break;
        }
        value << blob.sliced(at, size).toByteArray();
        at += size;
    }
    return value;
}

void skipValue(QByteArrayView blob, qsizetype &at)
{
    if (at >= blob.size())
        return;
    const int count = quint8(blob[at++]);
    for (int k = 0; k < count && at + 2 <= blob.size(); ++k)
        at += 2 + (quint8(blob[at]) | (qsizetype(quint8(blob[at + 1])) << 8));
    at = std::min(at, blob.size());
}

} // namespace

qint64 GscScript::cost() const
{
    qint64 cost = 256 + fields.size();
    for (const QByteArray &include : includes)
        cost += 32 + include.size();
    for (const Function &function : functions)
        cost += 96 + function.name.size() + function.calls.size();
    // Each is a pattern once the folder's scripts are followed.
    cost += strings.size() + 32 * strings.count('\n');
    return cost;
}

void GscScript::appendCall(QByteArray &calls, QByteArrayView callee, const QList<Value> &arguments)
{
    const QByteArrayView name = callee.first(std::min<qsizetype>(callee.size(), 255));
    calls.append(char(name.size()));
    calls.append(name);
    const qsizetype count = std::min<qsizetype>(arguments.size(), 255);
    calls.append(char(count));
    for (qsizetype k = 0; k < count; ++k)
        appendValue(calls, arguments[k]);
}

QList<GscScript::Call> GscScript::callsOf(QByteArrayView calls)
{
    QList<Call> found;
    qsizetype at = 0;
    while (at < calls.size()) {
        const qsizetype size = quint8(calls[at++]);
        if (at + size + 1 > calls.size())
            break;
        Call call { calls.sliced(at, size), {}, quint8(calls[at + size]) };
        at += size + 1;
        const qsizetype start = at;
        for (int k = 0; k < call.count; ++k)
            skipValue(calls, at);
        call.arguments = calls.sliced(start, at - start);
        found << call;
    }
    return found;
}

QList<GscScript::Value> GscScript::argumentsOf(const Call &call)
{
    QList<Value> arguments;
    qsizetype at = 0;
    for (int k = 0; k < call.count; ++k)
        arguments << valueAt(call.arguments, at);
    return arguments;
}

void GscScript::appendField(QByteArray &fields, QByteArrayView key, const Value &value)
{
    const QByteArrayView name = key.first(std::min<qsizetype>(key.size(), 255));
    fields.append(char(name.size()));
    fields.append(name);
    appendValue(fields, value);
}

QList<std::pair<QByteArray, GscScript::Value>> GscScript::fieldsOf(QByteArrayView fields)
{
    QList<std::pair<QByteArray, Value>> found;
    qsizetype at = 0;
    while (at < fields.size()) {
        const qsizetype size = quint8(fields[at++]);
        if (at + size > fields.size())
            break;
        const QByteArray key = fields.sliced(at, size).toByteArray();
        at += size;
        found.append({ key, valueAt(fields, at) });
    }
    return found;
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
    int count = 0;
    for (qsizetype at = 0; at < term.size(); ++count) {
        const char kind = term[at++];
        if (kind == parameter)
            ++at;
        else if (hasPayload(kind) && at < term.size())
            at += 1 + quint8(term[at]);
    }
    return count;
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
    if (a.size() == 1 && a[0].isEmpty())
        return b; // the empty string, as every join starts
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
    for (qsizetype at = 0; at < term.size();) {
        const char found = term[at++];
        if (found == kind)
            return true;
        if (found == parameter)
            ++at;
        else if (hasPayload(found) && at < term.size())
            at += 1 + quint8(term[at]);
    }
    return false;
}

bool possible(QByteArrayView term)
{
    for (qsizetype at = 0; at < term.size();) {
        const char kind = term[at++];
        if (kind == impossible)
            return false;
        if (kind == parameter) {
            ++at;
        } else if (hasPayload(kind) && at < term.size()) {
            const qsizetype size = quint8(term[at]);
            const QByteArrayView payload = term.sliced(at + 1, std::min(size, term.size() - at - 1));
            if (kind == literal && !std::all_of(payload.begin(), payload.end(), isNameCharacter))
                return false;
            at += 1 + size;
        }
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
