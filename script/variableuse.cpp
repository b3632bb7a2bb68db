#include "script/variableuse.h"

#include "script/gamenames.h"

using namespace Qt::StringLiterals;

namespace {

// Suffixes are stripped no deeper than names are built: a map after a gametype after a number, say.
constexpr int deepestSuffix = 4;
// A part of a name shorter than this is a word of its own, not a typo of another.
constexpr qsizetype shortestTypedPart = 5;

bool isLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
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

} // namespace

VariableUse::VariableUse(const QStringList &scriptNames, const QStringList &gametypes, const QStringList &maps)
{
    for (const QString &name : GameNames::readByTheGame())
        m_read.insert(name.toLower(), name);
    for (const QString &name : scriptNames) {
        const QString key = name.toLower();
        m_scriptNames.insert(key);
        if (!m_read.contains(key))
            m_read.insert(key, name);
    }
    for (auto it = m_read.cbegin(); it != m_read.cend(); ++it)
        m_bare.insert(withoutUnderscores(it.key()), it.key());
    for (const QStringList *words : { &gametypes, &maps }) {
        for (const QString &word : *words)
            m_suffixes.insert(word.toLower());
    }
}

bool VariableUse::isRead(const QString &name, int depth) const
{
    if (m_read.contains(name))
        return true;
    if (depth == deepestSuffix)
        return false;
    qsizetype digits = name.size();
    while (digits > 0 && name[digits - 1].isDigit())
        --digits;
    if (digits > 0 && digits < name.size() && isRead(name.left(digits), depth + 1))
        return true;
    for (qsizetype at = name.indexOf(u'_', 1); at > 0; at = name.indexOf(u'_', at + 1)) {
        if (m_suffixes.contains(QStringView(name).sliced(at + 1).toString()) && isRead(name.left(at), depth + 1))
            return true;
    }
    return false;
}

VariableUse::Verdict VariableUse::verdict(QStringView name) const
{
    const QString key = name.toString().toLower();
    if (GameNames::useOf(key).stockWritten && !m_scriptNames.contains(key))
        return Verdict::OnlyWritten;
    return isRead(key) ? Verdict::Read : Verdict::Unread;
}

QString VariableUse::nearest(const QString &name) const
{
    QStringList byUnderscore;
    for (const QString &known : m_bare.values(withoutUnderscores(name))) {
        if (std::abs(name.count(u'_') - known.count(u'_')) == 1)
            byUnderscore << m_read.value(known);
    }
    if (!byUnderscore.isEmpty())
        return byUnderscore.size() == 1 ? byUnderscore.constFirst() : QString();
    QStringList byLetter;
    for (auto it = m_read.cbegin(); it != m_read.cend(); ++it) {
        if (partApart(name, it.key()))
            byLetter << it.value();
    }
    return byLetter.size() == 1 ? byLetter.constFirst() : QString();
}

QString VariableUse::nearName(QStringView name) const
{
    const QString key = name.toString().toLower();
    {
        QMutexLocker lock(&m_lock);
        if (const auto found = m_near.constFind(key); found != m_near.cend())
            return *found;
    }
    // The name as typed, then the name it may be built from, with what was built onto it.
    QList<qsizetype> builtAt { key.size() };
    qsizetype digits = key.size();
    while (digits > 0 && key[digits - 1].isDigit())
        --digits;
    if (digits > 0 && digits < key.size())
        builtAt << digits;
    for (qsizetype at = key.indexOf(u'_', 1); at > 0; at = key.indexOf(u'_', at + 1)) {
        if (m_suffixes.contains(key.sliced(at + 1)))
            builtAt << at;
    }
    QString near;
    for (qsizetype at : std::as_const(builtAt)) {
        if (const QString found = nearest(key.left(at)); !found.isEmpty()) {
            near = found + name.sliced(at).toString();
            break;
        }
    }
    QMutexLocker lock(&m_lock);
    m_near.insert(key, near);
    return near;
}
