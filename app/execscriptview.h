#pragma once

#include "script/consolereader.h"
#include "script/scriptreader.h"

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class ScriptChecks;

// A script that an exec of the editor's script runs, read-only, in a window
// beside the main one: which file it is and where it lies, loose or in an
// archive, its lines with their marks underlined, and the sentence of the
// mark at the text cursor, or under the pointer. It shows the script as the
// checks read it when it was opened, and closes with Escape.
class ExecScriptView : public QDialog {
    Q_OBJECT

public:
    // Shows reached script `script` of `checks` over `window` at line `line` (from 0), in the view made on first
    // use; none where the checks reach no such script.
    static ExecScriptView *open(QWidget *window, const ScriptChecks &checks, qsizetype script, qsizetype line = 0);

    // Where `script` lies, as a sentence names it: "gtcvars.cfg, a loose file in main", "admin/mod.cfg in
    // zz_admin.pk3 in main".
    static QString placeOf(const ScriptReader::ExecScript &script);

    // What the view says of the script it shows.
    QString place() const;

protected:
    void done(int result) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit ExecScriptView(QWidget *window);
    void showScript(const ScriptChecks &checks, qsizetype script, qsizetype line);
    void showCurrentMark();
    QString sentenceAt(const QTextCursor &cursor) const;

    QLabel *const m_place;
    QPlainTextEdit *const m_text;
    QLabel *const m_mark;
    class Marks;
    Marks *const m_marks;
};
