#pragma once

#include "script/valuecatalogue.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

// A script read back for the settings pages: what each variable ends with
// when the game's console runs it, and which lines the pages' sections can
// stand in for.
//
// Commands that may read or set any variable (exec, vstr, map...) cut the
// script into stretches. The sections stand at the start of one stretch,
// after the kept lines of the stretches before it and before the kept lines
// of that stretch and those after it; that is the stretch that lets the pages
// take the most. A page row takes a variable only where the file last sets
// it in that stretch, on lines made only of settings and without a mark,
// where the file flags it with seta or sets exactly as the row does, and
// where the row's own line gives the game the same value. Every other line is
// kept as written, in its order, so every command that reads variables sees
// what it saw in the file, and every variable ends with the file's value.
//
// The pages take their values in passes: each row ask()s for its variable,
// shows the value and offer()s the line it then writes; settle() decides
// which lines go, weighing where the sections stand by what the rows asked for. Where a
// variable must stay with the kept lines after all, settle() says so and the
// pages take again, this time without it.
class OpenedScript {
public:
    // `ownComments` are the comment lines the sections write; a line `values`
    // reads otherwise than it looks stays as written.
    OpenedScript(const QStringList &lines, const QStringList &ownComments, const ValueCatalogue &values = {});

    // A row asks for `variable`: the value the game ends it with, unless a
    // page cannot take it. The request counts when settle() places the sections.
    std::optional<QString> ask(QStringView variable);

    // `written`, the line(s) a row writes once it shows its values, sets each
    // of `variables` exactly as the file does (sets where the file used sets)
    // and nothing else. Only then does the row take them.
    bool offer(const QStringList &variables, const QString &written);
    // A row without an include box, which writes `variable` whatever the file holds.
    void writesAlways(QStringView variable) { m_writtenAlways.insert(variable.toString().toLower()); }
    // Such a row that the file does not give a value it can show.
    void keepStartValue() { ++m_startValues; }

    // Ends a pass. False when the pages must take again: the sections move
    // to another stretch, or some offered variable must stay with the kept
    // lines (a kept line sets or names it).
    bool settle();

    QStringList keptLines() const;
    // How many of keptLines() come before the sections.
    qsizetype keptBeforeSections() const;
    // Variables the pages took in the last pass.
    qsizetype takenCount() const { return m_offered.size(); }
    qsizetype startValueCount() const { return m_startValues; }
    bool holdsOwnComments() const { return m_holdsOwnComments; }

private:
    enum Flag { Archived = 1, InServerInfo = 2 };
    struct Setting {
        QString value;
        int flags = 0; // from every line that sets it
        QList<qsizetype> lines; // every line that sets it
        QList<qsizetype> touches; // every line that sets or names it
    };
    enum class Kind { Dropped, Settings, Other };
    struct Line {
        Kind kind = Kind::Other;
        int stretch = 0; // how many commands that reach any variable come before the line
        QStringList sets; // variables (lower case) the line sets, when it is made only of settings
    };

    // What running `lines` sets, by lower-case name.
    static QHash<QString, Setting> run(const QStringList &lines, QList<Line> *shape = nullptr);
    // Whether a row could take `name` with the sections in `stretch`.
    bool takeable(const Setting &setting, int stretch) const;
    int lastStretch(const Setting &setting) const { return m_shape[setting.touches.constLast()].stretch; }
    int bestStretch() const;
    bool dropped(qsizetype line) const;

    QStringList m_lines;
    QList<Line> m_shape;
    QHash<QString, Setting> m_settings;
    int m_stretches = 1;
    int m_sections = 0; // the stretch the sections stand in
    bool m_sectionsPlaced = false;
    QSet<QString> m_asked;
    QSet<QString> m_writtenAlways;
    QSet<QString> m_left; // stays with the kept lines
    QSet<QString> m_offered; // taken by a row this pass
    qsizetype m_startValues = 0;
    bool m_holdsOwnComments = false;
};
