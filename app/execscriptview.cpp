#include "app/execscriptview.h"

#include "gamefolder/scriptchecks.h"
#include "script/wording.h"
#include "widgets/markunderline.h"

#include <QDialogButtonBox>
#include <QHelpEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSyntaxHighlighter>
#include <QTextBlock>
#include <QToolTip>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

// Underlines each line's marks, as the checks read them when the script was opened.
class ExecScriptView::Marks : public QSyntaxHighlighter {
public:
    using QSyntaxHighlighter::QSyntaxHighlighter;

    QList<ConsoleReader::Reading> readings; // by line
    QColor base;

protected:
    void highlightBlock(const QString &) override
    {
        const qsizetype line = currentBlock().blockNumber();
        if (line >= readings.size())
            return;
        const QTextCharFormat underline = markUnderline(base);
        for (const ConsoleReader::Mark &mark : std::as_const(readings[line].marks))
            setFormat(int(mark.span.start), int(mark.span.length), underline);
    }
};

ExecScriptView *ExecScriptView::open(QWidget *window, const ScriptChecks &checks, qsizetype script, qsizetype line)
{
    // A script the checks no longer reach, as the folder was read again meanwhile, is not there to show.
    if (script < 0 || script >= checks.reachedScripts().size())
        return nullptr;
    auto *view = window->findChild<ExecScriptView *>(QString(), Qt::FindDirectChildrenOnly);
    if (!view)
        view = new ExecScriptView(window);
    view->showScript(checks, script, line);
    view->show();
    view->raise();
    view->activateWindow();
    view->m_text->setFocus();
    return view;
}

QString ExecScriptView::placeOf(const ScriptReader::ExecScript &script)
{
    return script.archive.isEmpty() ? u"%1, a loose file in %2"_s.arg(script.path, script.folder)
                                    : u"%1 in %2 in %3"_s.arg(script.path, script.archive, script.folder);
}

ExecScriptView::ExecScriptView(QWidget *window)
    : QDialog(window)
    , m_place(new QLabel(this))
    , m_text(new QPlainTextEdit(this))
    , m_mark(new QLabel(this))
    , m_marks(new Marks(m_text->document()))
{
    setObjectName(u"ExecScriptView"_s);
    resize(720, 480);

    m_place->setObjectName(u"ExecScriptPlace"_s);
    m_place->setTextFormat(Qt::PlainText);
    m_place->setWordWrap(true);
    m_place->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_text->setObjectName(u"ExecScriptText"_s);
    m_text->setReadOnly(true);
    // Read-only, the keyboard still moves through it and a screen reader reads the line.
    m_text->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->viewport()->installEventFilter(this);
    m_marks->setObjectName(u"ExecScriptMarks"_s);
    m_marks->base = m_text->palette().color(QPalette::Base);
    connect(m_text, &QPlainTextEdit::cursorPositionChanged, this, &ExecScriptView::showCurrentMark);

    m_mark->setObjectName(u"ExecScriptMark"_s);
    m_mark->setTextFormat(Qt::PlainText);
    m_mark->setWordWrap(true);
    m_mark->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_mark->setMinimumHeight(3 * m_mark->fontMetrics().lineSpacing());
    m_mark->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->setObjectName(u"ExecScriptButtons"_s);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_place);
    layout->addWidget(m_text);
    layout->addWidget(m_mark);
    layout->addWidget(buttons);
}

void ExecScriptView::showScript(const ScriptChecks &checks, qsizetype script, qsizetype line)
{
    const ScriptReader::ExecScript &found = checks.reachedScripts()[script];
    QList<ConsoleReader::Reading> readings;
    qsizetype marks = 0;
    for (qsizetype k = 0; k < found.lines.size(); ++k) {
        readings << checks.readReached(script, k);
        marks += readings.constLast().marks.size();
    }
    m_marks->readings = std::move(readings);
    m_text->setPlainText(found.lines.join(u'\n'));
    setWindowTitle(u"%1 (read-only)"_s.arg(found.path));
    m_place->setText(u"%1, as an exec of the script runs it, read-only: %2, %3."_s.arg(placeOf(found),
        Wording::counted(found.lines.size(), u"line", u"lines"), Wording::counted(marks, u"mark", u"marks")));
    m_text->setAccessibleName(u"Exec'd script %1"_s.arg(found.path));
    m_text->setAccessibleDescription(m_place->text());
    const QTextBlock at = m_text->document()->findBlockByNumber(int(line));
    m_text->setTextCursor(QTextCursor(at.isValid() ? at : m_text->document()->firstBlock()));
    m_text->centerCursor();
    showCurrentMark();
}

QString ExecScriptView::place() const
{
    return m_place->text();
}

QString ExecScriptView::sentenceAt(const QTextCursor &cursor) const
{
    const qsizetype line = cursor.blockNumber();
    if (line >= m_marks->readings.size())
        return {};
    const ConsoleReader::Reading &reading = m_marks->readings[line];
    if (const ConsoleReader::Mark *mark
        = ConsoleReader::markAt(reading, cursor.block().text(), cursor.positionInBlock()))
        return mark->sentence;
    // Anywhere on a marked line, its first mark.
    return reading.marks.isEmpty() ? QString() : reading.marks.constFirst().sentence;
}

void ExecScriptView::showCurrentMark()
{
    m_mark->setText(sentenceAt(m_text->textCursor()));
}

// The pointer over a marked word shows what the game does with it.
bool ExecScriptView::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::ToolTip || watched != m_text->viewport())
        return QDialog::eventFilter(watched, event);
    const auto *help = static_cast<QHelpEvent *>(event);
    const QTextCursor cursor = m_text->cursorForPosition(help->pos());
    const qsizetype line = cursor.blockNumber();
    const ConsoleReader::Mark *mark = line < m_marks->readings.size()
        ? ConsoleReader::markAt(m_marks->readings[line], cursor.block().text(), cursor.positionInBlock())
        : nullptr;
    if (mark)
        QToolTip::showText(help->globalPos(), mark->sentence, m_text->viewport());
    else
        QToolTip::hideText();
    return true;
}

// The keyboard goes back to the window the view was opened from.
void ExecScriptView::done(int result)
{
    QDialog::done(result);
    parentWidget()->activateWindow();
}
