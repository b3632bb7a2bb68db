#include "script/variableuse.h"

#include "script/gamenames.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// A part of a name shorter than this is a word of its own, not a typo of another.
constexpr qsizetype shortestTypedPart = 5;
// Past this many reads that start with what only the game knows, every name is taken as read: each would be
// tried on every name, and a folder that builds so many names cannot be told apart from one that reads them all.
constexpr qsizetype mostUnanchored = 1000;
// The steps one name's match may take before it is taken as read.
constexpr int mostMatchSteps = 20'000;

using Kind = NamePattern::Kind;

bool isLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isNameCharacter(QChar c)
{
    return isLetter(c) || (c >= u'0' && c <= u'9') || c == u'_';
}

// Whether `b` is `a` with one letter inserted, deleted or changed, or two neighbouring letters swapped.
bool oneLetterApart(QStringView a, QStringView b)
{
    if (a.size() > b.size())
        std::swap(a, b);
    if (b.size() - a.size() > 1)
        return false;
    qsizetype i = 0;
    while (i < a.size() && a[i] == b[i])
        ++i;
    if (a.size() < b.size())
        return isLetter(b[i]) && a.sliced(i) == b.sliced(i + 1);
    if (i == a.size())
        return false; // the same
    if (a.sliced(i + 1) == b.sliced(i + 1))
        return isLetter(a[i]) && isLetter(b[i]);
    return i + 1 < a.size() && a[i] == b[i + 1] && a[i + 1] == b[i] && isLetter(a[i]) && isLetter(a[i + 1])
        && a.sliced(i + 2) == b.sliced(i + 2);
}

QString withoutUnderscores(QStringView name)
{
    QString bare = name.toString();
    bare.remove(u'_');
    return bare;
}

// `typed` and `known` (lower case) alike but in one part between "_", where one letter is apart.
bool partApart(const QString &typed, const QString &known)
{
    if (std::abs(typed.size() - known.size()) > 1)
        return false;
    const QList<QStringView> typedParts = QStringView(typed).split(u'_');
    const QList<QStringView> knownParts = QStringView(known).split(u'_');
    if (typedParts.size() != knownParts.size())
        return false;
    qsizetype differing = -1;
    for (qsizetype k = 0; k < typedParts.size(); ++k) {
        if (typedParts[k] == knownParts[k])
            continue;
        if (differing >= 0)
            return false;
        differing = k;
    }
    return differing >= 0 && std::min(typedParts[differing].size(), knownParts[differing].size()) >= shortestTypedPart
        && oneLetterApart(typedParts[differing], knownParts[differing]);
}

// A hash of `name` with the character at `skip` left out (none for -1), made without copying it.
quint64 hashSkipping(QStringView name, qsizetype skip)
{
    quint64 hash = 14695981039346656037ull;
    for (qsizetype k = 0; k < name.size(); ++k) {
        if (k != skip)
            hash = (hash ^ name[k].unicode()) * 1099511628211ull;
    }
    return hash;
}

// Which parts a pattern's names start with: its leading literal, or none.
QString leadOf(const NamePattern &pattern)
{
    return !pattern.parts.isEmpty() && pattern.parts.constFirst().kind == Kind::Literal ? pattern.parts.constFirst().text
                                                                                         : QString();
}

QStringList wordsOf(const QString &value)
{
    QStringList words;
    qsizetype start = -1;
    for (qsizetype k = 0; k <= value.size(); ++k) {
        const bool inWord = k < value.size() && isNameCharacter(value[k]);
        if (inWord && start < 0)
            start = k;
        else if (!inWord && start >= 0) {
            words << value.sliced(start, k - start).toLower();
            start = -1;
        }
    }
    return words;
}

// Matches the parts from `part` on against `name` from `at`, trying each way a part can end.
struct Matcher {
    const QString &name;
    const QSet<QString> &gametypes;
    const QSet<QString> &maps;
    const VariableUse::Values &values;
    int steps = 0;

    bool match(const QList<NamePattern::Part> &parts, qsizetype part, qsizetype at)
    {
        if (++steps > mostMatchSteps)
            return true; // past what is worth trying: say nothing
        if (part == parts.size())
            return at == name.size();
        const NamePattern::Part &p = parts[part];
        const QStringView rest = QStringView(name).sliced(at);
        switch (p.kind) {
        case Kind::Literal: return rest.startsWith(p.text) && match(parts, part + 1, at + p.text.size());
        case Kind::Rest: return true;
        case Kind::Number:
        case Kind::Word:
            for (qsizetype end = at; end < name.size(); ++end) {
                const QChar c = name[end];
                if (p.kind == Kind::Number ? !(c >= u'0' && c <= u'9') : !isNameCharacter(c))
                    break;
                if (match(parts, part + 1, end + 1))
                    return true;
            }
            return false;
        case Kind::Gametype:
        case Kind::Map:
            for (const QString &word : p.kind == Kind::Gametype ? gametypes : maps) {
                if (!word.isEmpty() && rest.startsWith(word) && match(parts, part + 1, at + word.size()))
                    return true;
            }
            return false;
        case Kind::ValueOf:
            if (!values)
                return false;
            for (const QString &value : values(p.text)) {
                for (const QString &word : wordsOf(value)) {
                    if (rest.startsWith(word) && match(parts, part + 1, at + word.size()))
                        return true;
                }
            }
            return false;
        }
        return false;
    }
};

} // namespace

// The names read, by each name with one letter left out, for the near names a typed name may be a typo of.
class VariableUse::NearIndex {
public:
    explicit NearIndex(const QHash<QString, QString> &read)
    {
        m_keys.reserve(read.size());
        for (auto it = read.cbegin(); it != read.cend(); ++it) {
            const quint32 id = quint32(m_keys.size());
            m_keys << it.key();
            m_bare.insert(withoutUnderscores(it.key()), id);
            for (qsizetype k = 0; k < it.key().size(); ++k) {
                // Only letters are ever apart.
                if (isLetter(it.key()[k]))
                    m_deleted.push_back({ hashSkipping(it.key(), k), id });
            }
        }
        std::sort(m_deleted.begin(), m_deleted.end());
    }

    // The names read whose bare form (no "_") is `name`'s.
    QStringList sameBare(const QString &name) const
    {
        QStringList found;
        for (const quint32 id : m_bare.values(withoutUnderscores(name)))
            found << m_keys[id];
        return found;
    }

    // The names read one letter apart from `name`, and some more that share a hash with one.
    QStringList oneLetterFrom(const QString &name, const QHash<QString, QString> &read) const
    {
        QSet<quint32> ids;
        auto addHash = [&](quint64 hash) {
            auto at = std::lower_bound(m_deleted.cbegin(), m_deleted.cend(), std::pair<quint64, quint32> { hash, 0 });
            for (; at != m_deleted.cend() && at->first == hash; ++at)
                ids.insert(at->second);
        };
        QStringList found;
        addHash(hashSkipping(name, -1)); // a letter less than a name read
        for (qsizetype k = 0; k < name.size(); ++k) {
            if (!isLetter(name[k]))
                continue;
            addHash(hashSkipping(name, k)); // a letter changed or swapped
            QString shorter = name;
            shorter.remove(k, 1);
            if (read.contains(shorter)) // a letter more
                found << shorter;
        }
        for (const quint32 id : std::as_const(ids))
            found << m_keys[id];
        found.removeDuplicates();
        return found;
    }

private:
    QStringList m_keys;
    QMultiHash<QString, quint32> m_bare;
    std::vector<std::pair<quint64, quint32>> m_deleted; // sorted
};

VariableUse::VariableUse(const QList<NamePattern> &reads, const QList<NamePattern> &writes,
    const QStringList &gametypes, const QStringList &maps)
{
    for (const QString &name : GameNames::readByTheGame())
        m_read.insert(name.toLower(), name);
    auto add = [this](const QList<NamePattern> &patterns, QSet<QString> &whole, QList<NamePattern> &built,
                   QHash<QString, QList<qsizetype>> &byLead, QList<qsizetype> &unanchored) {
        for (const NamePattern &pattern : patterns) {
            if (pattern.parts.size() == 1 && pattern.parts.constFirst().kind == Kind::Literal) {
                whole.insert(pattern.parts.constFirst().text);
                continue;
            }
            for (const NamePattern::Part &part : pattern.parts) {
                if (part.kind == Kind::ValueOf)
                    m_valueNames.insert(part.text);
            }
            const QString lead = leadOf(pattern);
            if (lead.isEmpty())
                unanchored << built.size();
            else
                byLead[lead] << built.size();
            built << pattern;
        }
    };
    add(reads, m_modRead, m_reads, m_readsByLead, m_readsUnanchored);
    add(writes, m_written, m_writes, m_writesByLead, m_writesUnanchored);
    m_readsAnything = m_readsUnanchored.size() > mostUnanchored;
    for (const QString &name : std::as_const(m_modRead)) {
        if (!m_read.contains(name))
            m_read.insert(name, name);
    }
    // A name built from a stem and only what the server names (a number, a gametype, a map) suggests its stem.
    for (const NamePattern &pattern : std::as_const(m_reads)) {
        const QString lead = leadOf(pattern);
        const bool builtOnto = !lead.isEmpty()
            && std::all_of(pattern.parts.cbegin() + 1, pattern.parts.cend(), [](const NamePattern::Part &part) {
                   return part.kind == Kind::Number || part.kind == Kind::Gametype || part.kind == Kind::Map
                       || (part.kind == Kind::Literal && part.text == u"_");
               });
        const QString stem = lead.endsWith(u'_') ? lead.chopped(1) : lead;
        if (builtOnto && !stem.isEmpty() && !m_read.contains(stem))
            m_read.insert(stem, stem);
    }
    for (const QStringList *words : { &gametypes, &maps }) {
        for (const QString &word : *words)
            (words == &gametypes ? m_gametypes : m_maps).insert(word.toLower());
    }
}

VariableUse::~VariableUse() = default;

bool VariableUse::matches(const QString &name, const QList<NamePattern> &patterns,
    const QHash<QString, QList<qsizetype>> &byLead, const QList<qsizetype> &unanchored, const Values &values) const
{
    Matcher matcher { name, m_gametypes, m_maps, values };
    auto anyMatches = [&](const QList<qsizetype> &ids) {
        return std::any_of(ids.cbegin(), ids.cend(), [&](qsizetype id) { return matcher.match(patterns[id].parts, 0, 0); });
    };
    if (!byLead.isEmpty()) {
        for (qsizetype length = 1; length <= name.size(); ++length) {
            if (const auto found = byLead.constFind(name.first(length)); found != byLead.cend() && anyMatches(*found))
                return true;
        }
    }
    return anyMatches(unanchored);
}

bool VariableUse::isRead(const QString &name, const Values &values) const
{
    return m_readsAnything || m_modRead.contains(name)
        || matches(name, m_reads, m_readsByLead, m_readsUnanchored, values);
}

VariableUse::Verdict VariableUse::verdict(QStringView name, const Values &values) const
{
    const QString key = name.toString().toLower();
    const GameNames::Use use = GameNames::useOf(key);
    const bool modReads = isRead(key, values);
    if (use.stockWritten && !modReads)
        return Verdict::OnlyWritten;
    if (modReads || use.read())
        return Verdict::Read;
    if (m_written.contains(key) || matches(key, m_writes, m_writesByLead, m_writesUnanchored, values))
        return Verdict::OnlyWrittenByMods;
    return Verdict::Unread;
}

QString VariableUse::nearest(const QString &name) const
{
    QStringList byUnderscore;
    for (const QString &known : m_nearIndex->sameBare(name)) {
        if (std::abs(name.count(u'_') - known.count(u'_')) == 1)
            byUnderscore << m_read.value(known);
    }
    if (!byUnderscore.isEmpty())
        return byUnderscore.size() == 1 ? byUnderscore.constFirst() : QString();
    QStringList byLetter;
    for (const QString &known : m_nearIndex->oneLetterFrom(name, m_read)) {
        if (partApart(name, known))
            byLetter << m_read.value(known);
    }
    return byLetter.size() == 1 ? byLetter.constFirst() : QString();
}

QString VariableUse::nearName(QStringView name) const
{
    const QString key = name.toString().toLower();
    QMutexLocker lock(&m_lock);
    if (const auto found = m_near.constFind(key); found != m_near.cend())
        return *found;
    if (!m_nearIndex)
        m_nearIndex = std::make_unique<NearIndex>(m_read);
    // The name as typed, then the stem it may be built on, with what was built onto it.
    QList<qsizetype> builtAt { key.size() };
    qsizetype digits = key.size();
    while (digits > 0 && key[digits - 1].isDigit())
        --digits;
    if (digits > 0 && digits < key.size())
        builtAt << digits;
    for (qsizetype at = key.indexOf(u'_', 1); at > 0; at = key.indexOf(u'_', at + 1)) {
        const QString suffix = key.sliced(at + 1);
        if (m_gametypes.contains(suffix) || m_maps.contains(suffix))
            builtAt << at;
    }
    QString near;
    for (qsizetype at : std::as_const(builtAt)) {
        if (const QString found = nearest(key.left(at)); !found.isEmpty()) {
            const QString suggested = found + name.sliced(at).toString();
            const QString suggestedKey = suggested.toLower();
            // Only a name the server reads, built as it builds it.
            if (GameNames::useOf(suggestedKey).read() || isRead(suggestedKey, {})) {
                near = suggested;
                break;
            }
        }
    }
    m_near.insert(key, near);
    return near;
}
