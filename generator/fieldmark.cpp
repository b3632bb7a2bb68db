#include "generator/fieldmark.h"

#include "script/consolereader.h"
#include "script/scriptwriter.h"
#include "widgets/markunderline.h"

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QStatusBar>
#include <QStatusTipEvent>

#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

void FieldMark::watch(QLineEdit *edit, QStringView variable, const ValueCatalogue::Accepted &accepted)
{
    new FieldMark(edit, variable, accepted);
}

FieldMark::FieldMark(QLineEdit *edit, QStringView variable, const ValueCatalogue::Accepted &accepted)
    : QObject(edit)
    , m_edit(edit)
    , m_variable(variable.toString())
{
    m_values.declare(variable, accepted);
    connect(edit, &QLineEdit::textChanged, this, &FieldMark::read);
    edit->installEventFilter(this);
}

void FieldMark::read()
{
    ScriptWriter out(false);
    out.valueLine(m_variable, m_edit->text());
    const QString line = out.text().chopped(1);
    const qsizetype valueStart = line.indexOf(u'"') + 1;
    const qsizetype length = m_edit->text().size();
    const QTextCharFormat format = markUnderline(m_edit->palette().color(QPalette::Base));

    QString sentence;
    m_marks.clear();
    for (const ConsoleReader::Mark &mark : ConsoleReader::read(line, m_values).marks) {
        if (sentence.isEmpty())
            sentence = mark.sentence;
        // A mark may take in the quotes around the value; the field shows only what lies between them.
        const qsizetype start = std::clamp<qsizetype>(mark.span.start - valueStart, 0, length);
        const qsizetype end = std::clamp<qsizetype>(mark.span.end() - valueStart, 0, length);
        if (end > start)
            m_marks.append({ int(start), int(end - start), format });
    }
    underline();
    const QString previous = std::exchange(m_sentence, sentence);
    if (m_sentence == previous)
        return;
    // Said to assistive technology too, which sees no underline.
    m_edit->setAccessibleDescription(m_sentence.isEmpty() ? m_edit->statusTip() : marked());
    tell();
}

// A line edit draws the formats an input method gives its text, which is how
// the field's text takes the editor's underline without being changed.
void FieldMark::underline()
{
    if (m_composing || m_marks == m_underlined)
        return;
    QList<QInputMethodEvent::Attribute> attributes;
    const int cursor = m_edit->cursorPosition();
    for (const QTextLayout::FormatRange &range : std::as_const(m_marks))
        attributes.append({ QInputMethodEvent::TextFormat, range.start - cursor, range.length, range.format });
    QInputMethodEvent event(QString(), attributes);
    QCoreApplication::sendEvent(m_edit, &event);
    m_underlined = m_marks;
}

QString FieldMark::marked() const
{
    return m_edit->statusTip() + u' ' + m_sentence;
}

QStatusBar *FieldMark::statusBar()
{
    if (!m_statusBar)
        m_statusBar = m_edit->window()->findChild<QStatusBar *>(QString(), Qt::FindDirectChildrenOnly);
    return m_statusBar;
}

// Puts the sentence in the status bar while the field is pointed at or has
// the focus, and takes it away once it no longer stands for the field.
void FieldMark::tell()
{
    QStatusBar *bar = statusBar();
    if (!bar)
        return;
    if (!m_sentence.isEmpty() && (m_edit->hasFocus() || m_edit->underMouse())) {
        m_told = marked();
        if (bar->currentMessage() != m_told)
            bar->showMessage(m_told);
    } else if (!m_told.isEmpty()) {
        if (bar->currentMessage() == m_told)
            bar->showMessage(m_edit->underMouse() ? m_edit->statusTip() : QString());
        m_told.clear();
    }
}

// A hint that ends leaves an empty bar: the sentence of the focused field takes its place again.
void FieldMark::restore(const QString &message)
{
    if (message.isEmpty() && m_edit->hasFocus())
        tell();
}

void FieldMark::focusChanged(bool focused)
{
    QStatusBar *bar = statusBar();
    if (focused && bar && !m_restoring)
        m_restoring = connect(bar, &QStatusBar::messageChanged, this, &FieldMark::restore);
    else if (!focused)
        disconnect(std::exchange(m_restoring, {}));
    tell();
}

bool FieldMark::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::StatusTip:
        // The pointer came onto the field: the hint, then what the game does.
        if (!m_sentence.isEmpty() && static_cast<QStatusTipEvent *>(event)->tip() == m_edit->statusTip()
            && statusBar()) {
            m_told = marked();
            statusBar()->showMessage(m_told);
            return true;
        }
        break;
    case QEvent::FocusIn:
    case QEvent::FocusOut: focusChanged(event->type() == QEvent::FocusIn); break;
    case QEvent::InputMethod: {
        // While an input method composes, its own formats stand in the field; ours come back after.
        const bool composing = !static_cast<QInputMethodEvent *>(event)->preeditString().isEmpty();
        if (!composing && m_composing) {
            m_underlined.clear();
            QMetaObject::invokeMethod(this, &FieldMark::underline, Qt::QueuedConnection);
        }
        m_composing = composing;
        break;
    }
    default: break;
    }
    return QObject::eventFilter(watched, event);
}
