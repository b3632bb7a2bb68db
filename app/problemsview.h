#pragma once

#include <QDialog>

class EditorPage;
class QLabel;
class QStandardItemModel;
class QTimer;
class QTreeView;
class ScriptDocument;

// Every mark of the editor's script and of the scripts its execs run, in the
// order the game runs them, each with its file, line and sentence, in a
// window beside the main one. Enter or a double click goes to the mark: in
// the editor, or in the exec'd script, opened read-only (ExecScriptView).
// It follows the editor a moment after each change, and only while shown,
// so that typing never waits for it; it closes with Escape.
class ProblemsView : public QDialog {
    Q_OBJECT

public:
    enum Column { File, Line, Sentence, ColumnCount };

    // Shows the marks of `page`'s script over `window`, in the view made on first use.
    static ProblemsView *open(QWidget *window, EditorPage *page, const ScriptDocument *document);

    // Reads the marks again at once rather than a moment after the last change.
    void refresh();

protected:
    void done(int result) override;
    void showEvent(QShowEvent *event) override;

private:
    ProblemsView(QWidget *window, EditorPage *page, const ScriptDocument *document);
    void follow();
    void goToMark(const QModelIndex &index);
    void showCurrent();

    EditorPage *const m_page;
    const ScriptDocument *const m_document;
    QLabel *const m_summary;
    QStandardItemModel *const m_marks;
    QTreeView *const m_list;
    QLabel *const m_current; // the current mark's sentence whole, which the column may cut
    QTimer *const m_later;
};
