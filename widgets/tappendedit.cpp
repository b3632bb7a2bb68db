#include "widgets/tappendedit.h"

#include "widgets/systemcolors.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMimeData>

using namespace Qt::StringLiterals;

// One change of the user's, kept as "at `position`, `removed` became
// `inserted`". Appends only ever add text after it, so the change can still be
// undone in place after any number of appends.
class UserEdit : public QUndoCommand {
public:
    UserEdit(TAppendEdit *edit, qsizetype position, QString removed, QString inserted)
        : m_edit(edit)
        , m_position(position)
        , m_removed(std::move(removed))
        , m_inserted(std::move(inserted))
    {
    }

    void undo() override { swap(m_inserted, m_removed); }
    void redo() override
    {
        if (m_done)
            swap(m_removed, m_inserted);
        m_done = true; // the first redo happens in the edit itself, as the user types
    }

    int id() const override { return 1; }

    // Typing a word is undone as one step; a blank is a step of its own.
    bool mergeWith(const QUndoCommand *other) override
    {
        const auto *next = static_cast<const UserEdit *>(other);
        if (!m_removed.isEmpty() || !next->m_removed.isEmpty() || next->m_inserted.size() != 1 || m_inserted.isEmpty()
            || next->m_position != m_position + m_inserted.size() || next->m_inserted.front().isSpace()
            || m_inserted.back().isSpace())
            return false;
        m_inserted += next->m_inserted;
        return true;
    }

private:
    void swap(const QString &from, const QString &to)
    {
        QString text = m_edit->text();
        if (text.mid(m_position, from.size()) != from)
            return; // the user changed this stretch since; leave it alone
        text.replace(m_position, from.size(), to);
        m_edit->replaceQuietly(text, int(m_position + to.size()));
    }

    TAppendEdit *const m_edit;
    const qsizetype m_position;
    QString m_removed;
    QString m_inserted;
    bool m_done = false;
};

TAppendEdit::TAppendEdit(QWidget *parent)
    : QLineEdit(parent)
    , m_undo(new QUndoStack(this))
{
    m_undo->setObjectName(u"undoStack"_s);
    setMaxLength(std::numeric_limits<int>::max());
    setCursor(Qt::IBeamCursor);
    // A rotation is plain Latin text that may run to megabytes; the edit lays
    // out its whole text at every change, and shaping it is most of that cost.
    QFont plain = font();
    plain.setStyleStrategy(QFont::PreferNoShaping);
    setFont(plain);

    QPalette colors = palette();
    colors.setColor(QPalette::Base, systemColor(SystemColor::Menu));
    // In an inactive window the edit has no focus either.
    colors.setColor(QPalette::Inactive, QPalette::Highlight, colors.color(QPalette::Inactive, QPalette::Base));
    colors.setColor(QPalette::Inactive, QPalette::HighlightedText, colors.color(QPalette::Inactive, QPalette::Text));
    setPalette(colors);
    showSelection(false);

    // For a change of the user's, QLineEdit emits textEdited before textChanged, so recordUserEdit still finds
    // the text from before the change here; a change made through setText emits textChanged alone.
    connect(this, &QLineEdit::textEdited, this, &TAppendEdit::recordUserEdit);
    connect(this, &QLineEdit::textChanged, this, [this](const QString &text) { m_shownText = text; });
}

void TAppendEdit::setEditText(const QString &text)
{
    if (text == QLineEdit::text())
        return;
    replaceQuietly(text, 0);
}

void TAppendEdit::append(const QString &piece)
{
    setEditText(text() + piece);
}

void TAppendEdit::replaceQuietly(const QString &text, int caret)
{
    // QLineEdit::setText would wipe its own history; ours lives in m_undo.
    QLineEdit::setText(text);
    setCursorPosition(caret);
    deselect();
    update();
}

void TAppendEdit::recordUserEdit(const QString &newText)
{
    const QString &old = m_shownText;
    qsizetype prefix = 0;
    const qsizetype common = std::min(old.size(), newText.size());
    while (prefix < common && old[prefix] == newText[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < common - prefix && old[old.size() - 1 - suffix] == newText[newText.size() - 1 - suffix])
        ++suffix;
    m_undo->push(new UserEdit(this, prefix, old.mid(prefix, old.size() - prefix - suffix),
        newText.mid(prefix, newText.size() - prefix - suffix)));
    m_shownText = newText;
}

void TAppendEdit::undo()
{
    m_undo->undo();
}

void TAppendEdit::redo()
{
    m_undo->redo();
}

void TAppendEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Undo)) {
        undo();
        return;
    }
    if (event->matches(QKeySequence::Redo)) {
        redo();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TAppendEdit::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu(this);
    const bool selected = hasSelectedText();
    const QMimeData *clipboard = QApplication::clipboard()->mimeData();

    menu.addAction(u"&Undo"_s, this, &TAppendEdit::undo)->setEnabled(m_undo->canUndo());
    menu.addSeparator();
    menu.addAction(u"&Cut"_s, this, &QLineEdit::cut)->setEnabled(selected);
    menu.addAction(u"&Copy"_s, this, &QLineEdit::copy)->setEnabled(selected);
    menu.addAction(u"&Paste"_s, this, &QLineEdit::paste)->setEnabled(clipboard && clipboard->hasText());
    menu.addAction(u"&Delete"_s, this, &QLineEdit::del)->setEnabled(selected);
    menu.addSeparator();
    menu.addAction(u"Select all"_s, this, &QLineEdit::selectAll)->setEnabled(!text().isEmpty());
    menu.exec(event->globalPos());
}

// The selection stays in the text while the focus is elsewhere, but only the
// focused edit draws it.
void TAppendEdit::showSelection(bool shown)
{
    QPalette colors = palette();
    colors.setColor(QPalette::Active, QPalette::Highlight,
        shown ? systemColor(SystemColor::HotTrack) : colors.color(QPalette::Active, QPalette::Base));
    colors.setColor(QPalette::Active, QPalette::HighlightedText,
        shown ? systemColor(SystemColor::HighlightText) : colors.color(QPalette::Active, QPalette::Text));
    setPalette(colors);
}

void TAppendEdit::focusInEvent(QFocusEvent *event)
{
    // The blink interval is application-wide in Qt; it is ours only while we
    // have the focus. Qt counts a whole on-off cycle.
    if (!m_savedFlashTime)
        m_savedFlashTime = QApplication::cursorFlashTime();
    QApplication::setCursorFlashTime(2 * caretBlinkMs);
    showSelection(true);
    // QLineEdit selects everything when entered by Tab or a shortcut, and the
    // next key would then replace a whole rotation; enter as by any other way.
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason) {
        QFocusEvent plain(event->type(), Qt::OtherFocusReason);
        QLineEdit::focusInEvent(&plain);
        return;
    }
    QLineEdit::focusInEvent(event);
}

void TAppendEdit::focusOutEvent(QFocusEvent *event)
{
    if (m_savedFlashTime) {
        QApplication::setCursorFlashTime(*m_savedFlashTime);
        m_savedFlashTime.reset();
    }
    // Its own context menu leaves the selection in view, as the menu acts on it.
    if (event->reason() == Qt::PopupFocusReason) {
        QLineEdit::focusOutEvent(event);
        return;
    }
    // QLineEdit keeps the selection only when the whole window loses the
    // focus; here it stays whichever way the focus leaves.
    QFocusEvent kept(event->type(), Qt::ActiveWindowFocusReason);
    QLineEdit::focusOutEvent(&kept);
    showSelection(false);
}
