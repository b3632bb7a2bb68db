#pragma once

#include <QString>
#include <QTextCursor>

class QTextDocument;

// The four line forms of a server script. Every section writer goes through
// these, so a written value is always exactly one line and comments follow
// the "add slashes" choice everywhere.
class ScriptWriter {
public:
    // Appends to the end of `document` when the writer is destroyed; comment
    // lines are written only when `withComments` is true.
    ScriptWriter(QTextDocument *document, bool withComments);
    // Keeps the lines for text() only.
    explicit ScriptWriter(bool withComments);
    ~ScriptWriter();
    ScriptWriter(const ScriptWriter &) = delete;
    ScriptWriter &operator=(const ScriptWriter &) = delete;

    // `//...`, written only while comments are on.
    void comment(QStringView text);
    // set <cvar> "<text>" with the control's text as typed.
    void valueLine(QStringView cvar, const QString &text);
    // sets .<key> "<text>"; `key` includes its leading full stop.
    void infoLine(QStringView key, const QString &text);
    // set <cvar> "<value>" with a constant value chosen by a box or radio button.
    void fixedLine(QStringView cvar, QStringView value);
    // A line of an opened script that no page stands in for, exactly as it was.
    void keptLine(QStringView line);

    // The lines written so far, each ended by a line feed.
    const QString &text() const { return m_text; }

    // A value is written on one line whatever its control holds: each line
    // break (CR LF, CR, LF or a Unicode line/paragraph separator) becomes a blank.
    static QString asOneLine(const QString &text);

private:
    void appendLine(const QString &line);

    QTextCursor m_cursor;
    QString m_text; // the lines so far, inserted when the writer goes
    const bool m_withComments;
};
