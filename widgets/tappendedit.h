#pragma once

#include <QLineEdit>
#include <QUndoStack>

#include <optional>

// A single-line edit that can grow at its end by program (the rotation
// builder) without losing the user's own undo history. Only the user's edits
// are undoable; appends are not, and undoing never removes appended text.
class TAppendEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit TAppendEdit(QWidget *parent = nullptr);

    // Replaces the text: nothing at all happens when it is equal;
    // otherwise the caret goes to the start and the selection is cleared.
    void setEditText(const QString &text);
    // The text followed by `piece`, whatever the caret or selection.
    void append(const QString &piece);

    QUndoStack *undoStack() const { return m_undo; }
    void undo();
    void redo();

    static constexpr int caretBlinkMs = 530;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void recordUserEdit(const QString &newText);
    void replaceQuietly(const QString &text, int caret);
    void showSelection(bool shown);

    QUndoStack *const m_undo;
    QString m_shownText; // the text before the change being recorded
    std::optional<int> m_savedFlashTime; // the desktop's, while we have the focus

    friend class UserEdit;
};
