#pragma once

#include "gamefolder/gamefolder.h"
#include "generator/lazypage.h"
#include "script/consolereader.h"
#include "liveserver/heldvalues.h"

#include <QPointer>

#include <memory>

class QLabel;
class QPlainTextEdit;
class QTextCursor;
class ScriptChecks;
class ScriptHighlighter;
class StatusLine;
class ValueCatalogue;

// The page that shows the generated script for a last touch before saving.
// The editor shows the script as the game will read it; while the text cursor
// stands on a word the game reads differently, the status bar says how, as a
// tooltip does for the word under the pointer; while the script is too long
// for one exec, the status bar says so too.
// Like the settings pages it makes its controls on first need, so a first
// frame without it costs nothing for it.
class EditorPage : public LazyPage {
    Q_OBJECT

public:
    explicit EditorPage(QWidget *parent = nullptr);

    // The script's editor; builds the page.
    QPlainTextEdit *editor();

    // Shows the note of the current line in `bar` whenever no hint needs it,
    // and the note of a script too long for exec beside it.
    void showNotesIn(StatusLine *bar);

    // Reads the values of the variables in `values` as the game reads them; builds the page.
    void readValuesBy(const ValueCatalogue &values);
    // Reads the script as it runs on the server of `folder`, where it lies at
    // `scriptPath` (see ScriptHighlighter); none for no folder.
    void checkMapsAgainst(std::shared_ptr<const GameFolder::Contents> folder, const QString &scriptPath = {});

    // The checks the script is read with, once the page is built; else none.
    const ScriptChecks *checks() const;
    // Puts the text cursor on line `line` (from 0) at `column`, the page in sight and the editor focused.
    void goTo(qsizetype line, qsizetype column);
    // The marks of line `line` (from 0), as the editor underlines them; none before the page is built.
    QList<ConsoleReader::Mark> marksOn(qsizetype line) const;
    // Moves the text cursor to the next mark after it, or the previous one, round the end; false where none is.
    bool stepToMark(bool forward);
    // The script that the exec at the text cursor runs on the server (see ScriptChecks::execTarget); -1 for none.
    qsizetype execScriptAtCursor() const;
    // Marks each setting the running server holds otherwise; none for no server. Builds the page.
    void compareWithServer(std::shared_ptr<const HeldValues::HeldByName> held);

    // Says, in a line of its own, that the pages changed since the script was made, or no longer.
    void showPagesDiffer(bool differ);
    QString pagesNote() const;

    // What the game does with the word at the text cursor, while the page is
    // shown and that word is marked or has a note, such as what an exec
    // finds; otherwise empty.
    QString note() const { return m_note; }
    // What exec does with a script too long for it, while the page is shown;
    // otherwise empty.
    QString sizeNote() const;

Q_SIGNALS:
    // The user asks to read what the exec at the text cursor runs: reached script `script` of checks().
    void execScriptWanted(qsizetype script);

protected:
    void buildControls() override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void updateSize();
    void updateNote();
    void restoreNote(const QString &message);
    void showContextMenu(const QPoint &position);
    qsizetype execScriptAt(const QTextCursor &cursor) const;
    // What the game does with the word at `cursor`, where it is marked.
    QString sentenceAt(const QTextCursor &cursor) const;

    QPlainTextEdit *m_editor = nullptr;
    ScriptHighlighter *m_highlighter = nullptr;
    // The status bar, and the note living on it, may go first.
    QPointer<StatusLine> m_statusBar;
    QString m_note;
    std::shared_ptr<const GameFolder::Contents> m_folder;
    QString m_scriptPath;
    QPointer<QLabel> m_sizeNote;
    QLabel *m_pagesNote = nullptr;
};
