#pragma once

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

// A script read back for the settings pages: what each variable ends with
// when the game's console runs it, and which lines the pages' sections can
// stand in for. A page row takes a variable only where its own line gives
// the game the same value; every line that is not made only of such settings
// (or of the window's own comment lines, or blanks) is kept as written, so
// the sections followed by the kept lines end every variable the file sets
// with the value the file gave it.
//
// The pages take their values in passes: each row asks value(), shows it and
// offer()s the line it then writes; settle() decides which lines go. Where a
// variable must stay with the kept lines after all, settle() says so and the
// pages take again, this time without it.
class OpenedScript {
public:
    // `ownComments` are the comment lines the sections write.
    OpenedScript(const QStringList &lines, const QStringList &ownComments);

    // The value the game ends `variable` with (set, seta or sets), unless the
    // file does not set it or it stays with the kept lines.
    std::optional<QString> value(QStringView variable) const;

    // `written`, the line(s) a row writes once it shows its values, sets each
    // of `variables` exactly as the file does (sets where the file used sets)
    // and nothing else. Only then does the row take them.
    bool offer(const QStringList &variables, const QString &written);
    // A row without an include box that the file does not give a value it can show.
    void keepStartValue() { ++m_startValues; }

    // Ends a pass. False when some offered variable must stay with the kept
    // lines (a kept line sets or names it): the pages then take again.
    bool settle();

    QStringList keptLines() const;
    // What each variable (by its lower-case name) ends with when `lines` run.
    static QHash<QString, QString> finalValues(const QStringList &lines);
    // Variables the pages took in the last pass.
    qsizetype takenCount() const { return m_offered.size(); }
    qsizetype startValueCount() const { return m_startValues; }
    bool holdsOwnComments() const { return m_holdsOwnComments; }

private:
    struct Setting {
        QString value;
        bool info = false; // last set by sets
        QList<qsizetype> lines; // every line that sets it
    };
    enum class Kind { Dropped, Settings, Other };
    struct Line {
        Kind kind = Kind::Other;
        QStringList sets; // variables (lower case) the line sets, when it is made only of settings
        QStringList named; // variables (lower case) its other commands name
    };

    // What running `lines` sets, by lower-case name.
    static QHash<QString, Setting> run(const QStringList &lines, QList<Line> *shape = nullptr);
    bool dropped(qsizetype line) const;

    QStringList m_lines;
    QList<Line> m_shape;
    QHash<QString, Setting> m_settings;
    QSet<QString> m_left; // stays with the kept lines
    QSet<QString> m_offered; // taken by a row this pass
    qsizetype m_startValues = 0;
    bool m_holdsOwnComments = false;
};
