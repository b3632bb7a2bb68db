#include "app/editorpage.h"

#include "app/scripthighlighter.h"
#include "app/statusline.h"
#include "generator/pagekit.h"

#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTabWidget>
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
    m_highlighter->setObjectName(u"scriptHighlighter"_s);
    editor->setObjectName(u"editor"_s);
    // A script is Windows-1252 text, which needs no shaping to be legible; a line of it may run to a megabyte,
    // and shaping is most of what laying it out costs.
    QFont plain = editor->font();
    plain.setStyleStrategy(QFont::PreferNoShaping);
    editor->setFont(plain);
    editor->setGeometry(0, 40, 761, 265);
    editor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    editor->setAccessibleName(u"Your CFG"_s);
    PageKit::setHint(editor, u"You may edit your CFG here before save..."_s);
    connect(editor, &QPlainTextEdit::cursorPositionChanged, this, &EditorPage::updateNote);
    connect(editor, &QPlainTextEdit::textChanged, this, &EditorPage::updateSize);
    connect(editor, &QPlainTextEdit::textChanged, this, &EditorPage::updateNote);
    editor->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(editor, &QWidget::customContextMenuRequested, this, &EditorPage::showContextMenu);
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
    // Without a folder the script's path changes nothing, and a script saved without one is not read anew:
    // reading a megabyte takes longer than saving it.
    const bool same = folder == m_folder && (!folder || scriptPath == m_scriptPath);
    m_folder = std::move(folder);
    m_scriptPath = scriptPath;
    if (!m_highlighter || same)
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

const ScriptChecks *EditorPage::checks() const
{
    return m_highlighter ? &m_highlighter->checks() : nullptr;
}

void EditorPage::goTo(qsizetype line, qsizetype column)
{
    build();
    for (QWidget *above = parentWidget(); above; above = above->parentWidget()) {
        if (auto *tabs = qobject_cast<QTabWidget *>(above)) {
            tabs->setCurrentWidget(this);
            break;
        }
    }
    const QTextBlock block = m_editor->document()->findBlockByNumber(int(line));
    if (!block.isValid())
        return;
    QTextCursor cursor(block);
    cursor.setPosition(block.position() + int(std::clamp<qsizetype>(column, 0, block.length() - 1)));
    m_editor->setTextCursor(cursor);
    m_editor->centerCursor();
    window()->activateWindow();
    m_editor->setFocus(Qt::OtherFocusReason);
}

QList<ConsoleReader::Mark> EditorPage::marksOn(qsizetype line) const
{
    if (!m_highlighter)
        return {};
    return m_highlighter->readingOf(m_editor->document()->findBlockByNumber(int(line))).marks;
}

bool EditorPage::stepToMark(bool forward)
{
    if (!isBuilt() || !isVisible())
        return false;
    const QTextCursor cursor = m_editor->textCursor();
    const QTextDocument *text = m_editor->document();
    const int lines = text->blockCount();
    const int here = cursor.blockNumber();
    // The cursor's own line, from beside it, then every other line once, round the end, then its line again.
    for (int step = 0; step <= lines; ++step) {
        const int line = ((forward ? here + step : here - step) % lines + lines) % lines;
        const QTextBlock block = text->findBlockByNumber(line);
        QList<qsizetype> starts;
        for (const ConsoleReader::Mark &mark : m_highlighter->readingOf(block).marks)
            starts << mark.span.start;
        std::sort(starts.begin(), starts.end());
        if (!forward)
            std::reverse(starts.begin(), starts.end());
        const qsizetype at = cursor.positionInBlock();
        for (qsizetype start : std::as_const(starts)) {
            const bool beyond = forward ? start > at : start < at;
            if (step == 0 && !beyond)
                continue;
            if (step == lines && beyond)
                break;
            goTo(line, start);
            return true;
        }
    }
    return false;
}

qsizetype EditorPage::execScriptAtCursor() const
{
    return m_highlighter ? execScriptAt(m_editor->textCursor()) : -1;
}

qsizetype EditorPage::execScriptAt(const QTextCursor &cursor) const
{
    return m_highlighter->checks().execTarget(cursor.blockNumber(), cursor.block().text(), cursor.positionInBlock());
}

// The editor's own entries, and below them the exec'd script the line runs.
void EditorPage::showContextMenu(const QPoint &position)
{
    QMenu *menu = m_editor->createStandardContextMenu(position);
    menu->setObjectName(u"editorMenu"_s);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addSeparator();
    QAction *open = menu->addAction(u"&Open the Exec'd Script"_s);
    open->setObjectName(u"editorMenuOpenExec"_s);
    open->setShortcut(Qt::Key_F12);
    const qsizetype script = execScriptAt(m_editor->cursorForPosition(position));
    open->setEnabled(script >= 0);
    connect(open, &QAction::triggered, this, [this, script] { Q_EMIT execScriptWanted(script); });
    menu->popup(m_editor->viewport()->mapToGlobal(position));
}
