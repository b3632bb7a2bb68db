#include "generator/fieldmark.h"

#include "script/consolereader.h"
#include "script/scriptwriter.h"
#include "widgets/markunderline.h"

#include <QCoreApplication>
#include <QHelpEvent>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QStatusTipEvent>
#include <QToolTip>

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

// Puts the sentence in the status bar while the field is pointed at or has
// the focus, and takes it away once it no longer stands for the field.
void FieldMark::tell()
{
    if (!m_sentence.isEmpty() && (m_edit->hasFocus() || m_edit->underMouse()))
        say(marked());
    else if (!m_told.isEmpty())
        say(m_edit->underMouse() ? m_edit->statusTip() : QString());
}

void FieldMark::say(const QString &tip)
{
    // The window shows every tip that reaches it; one from anywhere else replaces this field's.
    QWidget *window = m_edit->window();
    m_told = tip == marked() ? tip : QString();
    if (m_told.isEmpty())
        window->removeEventFilter(this);
    else
        window->installEventFilter(this);
    QStatusTipEvent event(tip);
    QCoreApplication::sendEvent(m_edit, &event);
}

bool FieldMark::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_edit) {
        if (event->type() == QEvent::StatusTip && static_cast<QStatusTipEvent *>(event)->tip() != m_told) {
            m_told.clear();
            watched->removeEventFilter(this);
        }
        return false;
    }
    switch (event->type()) {
    case QEvent::StatusTip: {
        // The pointer came onto the field, or a hint ended while the field has
        // the focus: the hint, then what the game does.
        const QString tip = static_cast<QStatusTipEvent *>(event)->tip();
        if (!m_sentence.isEmpty() && (tip == m_edit->statusTip() || (tip.isEmpty() && m_edit->hasFocus()))) {
            say(marked());
            return true;
        }
        break;
    }
    case QEvent::ToolTip:
        if (!m_sentence.isEmpty()) {
            QToolTip::showText(static_cast<QHelpEvent *>(event)->globalPos(), m_sentence, m_edit);
            return true;
        }
        break;
    case QEvent::FocusIn:
    case QEvent::FocusOut: tell(); break;
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
