#pragma once

#include <QHash>
#include <QMutex>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QStringView>

// Whether anything on a server reads a variable that a script sets: the
// engine, the stock scripts, or a string in one of the server's own game
// scripts (.gsc), which read a variable by its name in a string. Mods also
// build names at run time from a name they hold: a gametype or a map name
// added after "_" (scr_tdm_timelimit_mp_harbor), or a number (scr_x_welcome3);
// such a name counts as read when the name it is built from does. Names are
// matched without regard to letter case, as the game matches them.
class VariableUse {
public:
    enum class Verdict {
        Read,
        Unread, // nothing reads it: the game keeps it, and nothing uses it
        OnlyWritten, // the stock scripts set it themselves, and nothing else names it
    };

    // `scriptNames`: the strings of the server's own scripts, the stock ones
    // left out; `gametypes` and `maps`: those the server has, which names are
    // built with.
    VariableUse(const QStringList &scriptNames, const QStringList &gametypes, const QStringList &maps);

    Verdict verdict(QStringView name) const;

    // A name this server reads that `name`, which nothing reads, is most
    // likely a typo of, with the same suffix: one "_" more or less
    // (g_allow_vote for g_allowvote), or one letter more, less, changed or
    // swapped in a part of five letters or more (scr_x_wealcome3 for
    // scr_x_welcome3). Short parts are words of their own (mg42 and fg42, hq
    // and hqt), so never there; and none where two names would fit. Empty for none.
    QString nearName(QStringView name) const;

private:
    bool isRead(const QString &name, int depth = 0) const;
    QString nearest(const QString &name) const;

    QHash<QString, QString> m_read; // lower case to as written
    QMultiHash<QString, QString> m_bare; // m_read's keys by themselves without "_"
    QSet<QString> m_scriptNames; // lower case
    QSet<QString> m_suffixes; // gametypes and maps, lower case
    mutable QMutex m_lock;
    mutable QHash<QString, QString> m_near; // asked before
};
