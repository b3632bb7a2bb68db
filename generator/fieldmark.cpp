#include "generator/fieldmark.h"

#include "gamefolder/mapmarks.h"
#include "script/scriptwriter.h"
#include "widgets/markunderline.h"

#include <QCoreApplication>
#include <QHelpEvent>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStatusTipEvent>
#include <QToolTip>

#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

// Past the end of any text a field holds.
constexpr int toTheEnd = 1 << 30;

} // namespace

FieldMark *FieldMark::watch(QLineEdit *edit, QStringView variable, const ValueCatalogue::Accepted &accepted)
{
    return new FieldMark(edit, variable, accepted);
}

FieldMark::FieldMark(QLineEdit *edit, QStringView variable, const ValueCatalogue::Accepted &accepted)
    : QObject(edit)
    , m_edit(edit)
    , m_variable(variable.toString())
{
    setObjectName(u"fieldMark"_s);
    m_values.declare(variable, accepted);
    connect(edit, &QLineEdit::textChanged, this, &FieldMark::read);
    connect(edit, &QLineEdit::cursorPositionChanged, this, &FieldMark::pickSentence);
    // The mark under the pointer is named as the pointer moves.
    edit->setMouseTracking(true);
    edit->installEventFilter(this);
}

void FieldMark::checkMapsAgainst(std::shared_ptr<const GameFolder::Contents> folder)
{
    m_folder = std::move(folder);
    read();
}

void FieldMark::read()
{
    ScriptWriter out(false);
    out.valueLine(m_variable, m_edit->text());
    m_line = out.text().chopped(1);
    m_valueStart = m_line.indexOf(u'"') + 1;
    m_reading = ConsoleReader::read(m_line, m_values);
    if (m_folder)
        GameFolder::addMapMarks(m_reading, *m_folder);
    const qsizetype length = m_edit->text().size();
    const QTextCharFormat format = markUnderline(m_edit->palette().color(QPalette::Base));

    m_marks.clear();
    for (const ConsoleReader::Mark &mark : std::as_const(m_reading.marks)) {
        // A mark may take in the quotes around the value; the field shows only what lies between them.
        const qsizetype start = std::clamp<qsizetype>(mark.span.start - m_valueStart, 0, length);
        const qsizetype end = std::clamp<qsizetype>(mark.span.end() - m_valueStart, 0, length);
        // A mark that runs to the end of the text stays the same as the text grows, so appending to a long
        // value does not lay it out a second time.
        if (end > start)
            m_marks.append({ int(start), end == length ? toTheEnd - int(start) : int(end - start), format });
    }
    // Marks that touch are drawn as one: a long value cut a thousand times lays out one range, not a thousand.
    std::sort(m_marks.begin(), m_marks.end(), [](const auto &a, const auto &b) { return a.start < b.start; });
    QList<QTextLayout::FormatRange> merged;
    for (const QTextLayout::FormatRange &range : std::as_const(m_marks)) {
        if (!merged.isEmpty() && range.start <= merged.constLast().start + merged.constLast().length) {
            QTextLayout::FormatRange &last = merged.last();
            last.length = std::max(last.length, range.start + range.length - last.start);
        } else {
            merged.append(range);
        }
    }
    m_marks = std::move(merged);
    underline();
    pickSentence();
}

void FieldMark::pickSentence()
{
    const qsizetype at = m_pointedAt >= 0 ? m_pointedAt : m_edit->hasFocus() ? m_edit->cursorPosition() : -1;
    const ConsoleReader::Mark *mark = at < 0 ? nullptr : ConsoleReader::markAt(m_reading, m_line, m_valueStart + at);
    if (!mark && !m_reading.marks.isEmpty())
        mark = &m_reading.marks.constFirst();
    const QString previous = std::exchange(m_sentence, mark ? mark->sentence : QString());
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
    return m_edit->statusTip().isEmpty() ? m_sentence : m_edit->statusTip() + u' ' + m_sentence;
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
        const bool ownHint = !m_edit->statusTip().isEmpty() && tip == m_edit->statusTip();
        if (!m_sentence.isEmpty() && (ownHint || (tip.isEmpty() && m_edit->hasFocus()))) {
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
    case QEvent::Enter:
        // A field without a hint gets no status tip to answer.
        if (m_edit->statusTip().isEmpty() && !m_sentence.isEmpty())
            say(marked());
        break;
    case QEvent::MouseMove: {
        const int at = m_edit->cursorPositionAt(static_cast<QMouseEvent *>(event)->position().toPoint());
        const bool onMark = std::any_of(m_marks.cbegin(), m_marks.cend(), [at](const QTextLayout::FormatRange &range) {
            return range.start <= at && at <= range.start + range.length;
        });
        const qsizetype pointed = onMark ? at : -1;
        if (pointed != m_pointedAt) {
            m_pointedAt = pointed;
            pickSentence();
        }
        break;
    }
    case QEvent::Leave:
        m_pointedAt = -1;
        pickSentence();
        if (m_edit->statusTip().isEmpty() && !m_edit->hasFocus() && !m_told.isEmpty())
            say(QString());
        break;
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        pickSentence();
        tell();
        break;
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
