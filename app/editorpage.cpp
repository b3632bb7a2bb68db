#include "app/editorpage.h"

#include "app/scripthighlighter.h"
#include "app/statusline.h"
#include "generator/pagekit.h"

#include <QHelpEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QToolTip>

#include <utility>

using namespace Qt::StringLiterals;

EditorPage::EditorPage(QWidget *parent)
    : LazyPage(parent)
{
    setObjectName(u"tabEditor"_s);
}

QPlainTextEdit *EditorPage::editor()
{
    build();
    return m_editor;
}

void EditorPage::buildControls()
{
    QLabel *heading = PageKit::headingStrip(this, "Label3", u"Your CFG"_s, u"Your CFG"_s);
    m_pagesNote = new QLabel(
        u"The pages have changed since this script was made: \"Clear Cfg\" then \"Finish!\" writes them."_s, this);
    m_pagesNote->setObjectName(u"pagesNote"_s);
    m_pagesNote->adjustSize();
    m_pagesNote->move(heading->geometry().right() + 24, heading->y());
    m_pagesNote->hide();

    auto *editor = new QPlainTextEdit(this);
    m_highlighter = new ScriptHighlighter(editor->document(), editor->palette());
    editor->setObjectName(u"editor"_s);
    editor->setGeometry(0, 40, 761, 265);
    editor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    editor->setAccessibleName(u"Your CFG"_s);
    PageKit::setHint(editor, u"You may edit your CFG here before save..."_s);
    connect(editor, &QPlainTextEdit::cursorPositionChanged, this, &EditorPage::updateNote);
    connect(editor, &QPlainTextEdit::textChanged, this, &EditorPage::updateSize);
    connect(editor, &QPlainTextEdit::textChanged, this, &EditorPage::updateNote);
    editor->viewport()->installEventFilter(this);
    m_editor = editor;

    const struct {
        const char *name;
        int top;
        QString text;
    } notes[] = {
        { "Label106", 312, u"Your cfg was created! you may edit or organize your cfg in the editor above."_s },
        { "Label4", 328, u"Press Save CFG to save as a .cfg format..."_s },
        { "Label107", 344, u"Thank you for using Corvane's Tallyforge!"_s },
    };
    for (const auto &note : notes) {
        auto *label = new QLabel(note.text, this);
        label->setObjectName(QLatin1StringView(note.name));
        label->adjustSize();
        label->move(0, note.top);
    }
    PageKit::picture(this, { 728, 320, 33, 33 }, u"editor-corner");

    if (m_folder)
        m_highlighter->checkMapsAgainst(m_folder, m_scriptPath);

    m_sizeNote = new QLabel(this);
    m_sizeNote->setObjectName(u"sizeNote"_s);
    m_sizeNote->setAccessibleName(u"Script size"_s);
    m_sizeNote->hide();
    if (m_statusBar)
        m_statusBar->addPermanentWidget(m_sizeNote);
    updateSize();
}

void EditorPage::showNotesIn(StatusLine *bar)
{
    m_statusBar = bar;
    if (isBuilt()) {
        bar->addPermanentWidget(m_sizeNote);
        updateSize();
    }
    connect(bar, &QStatusBar::messageChanged, this, &EditorPage::restoreNote);
}

void EditorPage::readValuesBy(const ValueCatalogue &values)
{
    build();
    m_highlighter->readValuesBy(values);
    updateNote();
}

void EditorPage::checkMapsAgainst(std::shared_ptr<const GameFolder::Contents> folder, const QString &scriptPath)
{
    m_folder = std::move(folder);
    m_scriptPath = scriptPath;
    if (!m_highlighter)
        return;
    m_highlighter->checkMapsAgainst(m_folder, m_scriptPath);
    updateNote();
}

void EditorPage::compareWithServer(std::shared_ptr<const HeldValues::HeldByName> held)
{
    build();
    m_highlighter->compareWithServer(std::move(held));
    updateNote();
}

void EditorPage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!isBuilt())
        return;
    updateSize();
    updateNote();
}

void EditorPage::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (!isBuilt())
        return;
    updateSize();
    updateNote();
}

void EditorPage::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && m_highlighter)
        m_highlighter->usePalette(palette()); // the editor takes its colours from the page
}

void EditorPage::showPagesDiffer(bool differ)
{
    build();
    m_pagesNote->setVisible(differ);
}

QString EditorPage::pagesNote() const
{
    return m_pagesNote && !m_pagesNote->isHidden() ? m_pagesNote->text() : QString();
}

QString EditorPage::sizeNote() const
{
    return m_sizeNote && !m_sizeNote->isHidden() ? m_sizeNote->text() : QString();
}

void EditorPage::updateSize()
{
    if (!m_sizeNote)
        return;
    const ExecSize::Size size = m_highlighter->limit().size();
    m_sizeNote->setText(size.sentence());
    m_sizeNote->setVisible(isVisible() && !size.fits());
}

void EditorPage::updateNote()
{
    const QString note = isVisible() ? sentenceAt(m_editor->textCursor()) : QString();
    const QString previous = std::exchange(m_note, note);
    // A result stands over the note until the user's next key or click.
    if (!m_statusBar || m_statusBar->showsResult())
        return;
    if (!m_note.isEmpty()) {
        // Typing on a marked line brings its note back over a hint.
        if (m_statusBar->currentMessage() != m_note)
            m_statusBar->showMessage(m_note);
    } else if (!previous.isEmpty() && m_statusBar->currentMessage() == previous) {
        m_statusBar->clearMessage();
        if (m_editor->underMouse())
            m_statusBar->showMessage(m_editor->statusTip());
    }
}

// A hint that ends leaves an empty bar: the note takes its place again.
void EditorPage::restoreNote(const QString &message)
{
    if (message.isEmpty() && m_statusBar->currentMessage().isEmpty() && !m_note.isEmpty())
        m_statusBar->showMessage(m_note);
}

QString EditorPage::sentenceAt(const QTextCursor &cursor) const
{
    const QTextBlock block = cursor.block();
    const ConsoleReader::Reading reading = m_highlighter->readingOf(block);
    if (const ConsoleReader::Mark *mark = ConsoleReader::markAt(reading, block.text(), cursor.positionInBlock()))
        return mark->sentence;
    const ConsoleReader::Note *note = ConsoleReader::noteAt(reading, block.text(), cursor.positionInBlock());
    return note ? note->sentence : QString();
}

// The pointer over a marked word shows what the game does with it.
bool EditorPage::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::ToolTip || watched != m_editor->viewport())
        return LazyPage::eventFilter(watched, event);
    const auto *help = static_cast<QHelpEvent *>(event);
    const QTextCursor cursor = m_editor->cursorForPosition(help->pos());
    // Past the end of a line the nearest position is no word under the pointer.
    const bool onText = !cursor.atBlockEnd() || help->pos().x() <= m_editor->cursorRect(cursor).right();
    if (const QString sentence = onText ? sentenceAt(cursor) : QString(); !sentence.isEmpty())
        QToolTip::showText(help->globalPos(), sentence, m_editor->viewport());
    else
        QToolTip::hideText();
    return true;
}
