#pragma once

#include "script/namepattern.h"

#include <QHash>
#include <QMutex>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <memory>
#include <vector>

// Whether anything on a server reads a variable that a script sets: the
// engine, the stock scripts, or a read in one of the server's own game
// scripts (.gsc), given as the patterns of the names it can build. A name is
// read when some pattern builds it whole: "scr_x" + number reads scr_x3, never
// scr_x itself. Names are matched without regard to letter case, as the game
// matches them.
class VariableUse {
public:
    enum class Verdict {
        Read,
        Unread, // nothing reads it: the game keeps it, and nothing uses it
        OnlyWritten, // the stock scripts set it themselves, and nothing else reads it
        OnlyWrittenByMods, // the server's own game scripts set it, and nothing reads it
    };
    // The values the checked scripts give a variable (by its lower-case name), for the patterns that read
    // names from values.
    using Values = std::function<QStringList(const QString &name)>;

    // `reads` and `writes`: what the server's own game scripts read and set,
    // the stock ones left out; `gametypes` and `maps`: those the server has.
    VariableUse(const QList<NamePattern> &reads, const QList<NamePattern> &writes, const QStringList &gametypes,
        const QStringList &maps);
    ~VariableUse();

    Verdict verdict(QStringView name, const Values &values = {}) const;
    // Whether a verdict depends on the values given to `name` (lower case).
    bool readsValueOf(const QString &name) const { return m_valueNames.contains(name); }
    bool readsValues() const { return !m_valueNames.isEmpty(); }

    // A name this server reads that `name`, which nothing reads, is most
    // likely a typo of, with the same suffix: one "_" more or less
    // (g_allow_vote for g_allowvote), or one letter more, less, changed or
    // swapped in a part of five letters or more (scr_x_wealcome3 for
    // scr_x_welcome3). Short parts are words of their own (mg42 and fg42, hq
    // and hqt), so never there; and none where two names would fit. Empty for none.
    QString nearName(QStringView name) const;

private:
    class NearIndex;
    bool matches(const QString &name, const QList<NamePattern> &patterns, const QHash<QString, QList<qsizetype>> &byLead,
        const QList<qsizetype> &unanchored, const Values &values) const;
    bool isRead(const QString &name, const Values &values) const;
    QString nearest(const QString &name) const;

    QHash<QString, QString> m_read; // the names read whole: lower case to as written
    QSet<QString> m_modRead; // those the server's own game scripts read, lower case
    QList<NamePattern> m_reads; // the patterns that build more than one name
    QHash<QString, QList<qsizetype>> m_readsByLead; // m_reads by their leading literal
    QList<qsizetype> m_readsUnanchored; // m_reads that start with no literal
    QSet<QString> m_written;
    QList<NamePattern> m_writes;
    QHash<QString, QList<qsizetype>> m_writesByLead;
    QList<qsizetype> m_writesUnanchored;
    QSet<QString> m_valueNames; // the variables whose values name what is read, lower case
    QSet<QString> m_gametypes; // lower case
    QSet<QString> m_maps; // lower case
    bool m_readsAnything = false; // too many reads start with what only the game knows to tell

    mutable QMutex m_lock;
    mutable std::unique_ptr<NearIndex> m_nearIndex; // made when first asked
    mutable QHash<QString, QString> m_near; // asked before
};
