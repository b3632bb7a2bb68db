#include "app/statusline.h"

#include "generator/pagekit.h"

#include <QApplication>
#include <QDir>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QStatusTipEvent>
#include <QStyleOption>
#include <QToolTip>

using namespace Qt::StringLiterals;

StatusLine::StatusLine(QWidget *parent)
    : QStatusBar(parent)
{
    setObjectName(u"StatusBar1"_s);
    setSizeGripEnabled(false);
    // First of all who follow the message, so that a note restored after a hint finds the result there.
    connect(this, &QStatusBar::messageChanged, this, &StatusLine::messageChanged);
}

void StatusLine::showResult(const QString &sentence)
{
    if (m_result.isEmpty() && !sentence.isEmpty())
        qApp->installEventFilter(this);
    m_result = sentence;
    showMessage(sentence);
}

void StatusLine::endResult()
{
    qApp->removeEventFilter(this);
    if (std::exchange(m_result, {}) == currentMessage())
        clearMessage();
}

void StatusLine::messageChanged(const QString &message)
{
    if (!message.isEmpty() || m_offering)
        return;
    if (!m_result.isEmpty()) {
        showMessage(m_result);
        return;
    }
    QWidget *focus = QApplication::focusWidget();
    if (!focus || focus->window() != window())
        return;
    m_offering = true;
    QStatusTipEvent ended { QString() };
    QCoreApplication::sendEvent(focus, &ended);
    m_offering = false;
}

// The user's next key or click in the window ends the result; the pointer's moves do not.
bool StatusLine::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::KeyPress && type != QEvent::ShortcutOverride)
        return false;
    const auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != window())
        return false;
    if (type != QEvent::MouseButtonPress) {
        switch (static_cast<QKeyEvent *>(event)->key()) {
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Alt:
        case Qt::Key_AltGr:
        case Qt::Key_Meta: return false;
        default: break;
        }
    }
    endResult();
    return false;
}

// Where QStatusBar puts its message: left of the permanent items.
QRect StatusLine::messageArea() const
{
    int right = width() - 12;
    for (const QWidget *item : findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (item->isVisible())
            right = std::min(right, item->x() - 2);
    }
    return QRect(6, 0, right - 6, height());
}

QString StatusLine::shownMessage() const
{
    const QString message = currentMessage();
    const int room = messageArea().width();
    const QFontMetrics metrics = fontMetrics();
    if (metrics.horizontalAdvance(message) <= room)
        return message;
    const QString ellipsis = u"\u2026"_s;
    // The longest start of whole words that fits with the ellipsis.
    qsizetype end = message.size();
    while ((end = message.lastIndexOf(u' ', end - 1)) > 0) {
        const QString shown = QStringView(message).left(end).trimmed().toString() + ellipsis;
        if (metrics.horizontalAdvance(shown) <= room)
            return shown;
    }
    return metrics.elidedText(message, Qt::ElideRight, room); // a first word longer than the bar
}

void StatusLine::paintEvent(QPaintEvent *event)
{
    QStatusBar::paintEvent(event);
    const QString shown = shownMessage();
    if (shown == currentMessage())
        return;
    // QStatusBar cuts the message at the edge, mid-word: paint over it.
    QPainter painter(this);
    const QRect area = messageArea();
    painter.setClipRect(area);
    painter.fillRect(area, palette().window());
    QStyleOption option;
    option.initFrom(this);
    style()->drawPrimitive(QStyle::PE_PanelStatusBar, &option, &painter, this);
    painter.setPen(palette().windowText().color());
    painter.drawText(area, Qt::AlignLeading | Qt::AlignVCenter | Qt::TextSingleLine, shown);
}

bool StatusLine::event(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QStatusBar::event(event);
    const auto *help = static_cast<QHelpEvent *>(event);
    const QRect area = messageArea();
    if (area.contains(help->pos()) && shownMessage() != currentMessage())
        QToolTip::showText(help->globalPos(), currentMessage(), this, area);
    else
        QToolTip::hideText();
    return true;
}

void StatusLine::showGameFolder(const GameFolderReader::Contents &contents)
{
    if (!m_gameFolderNote) {
        m_gameFolderNote = new QLabel(this);
        m_gameFolderNote->setObjectName(u"gameFolderNote"_s);
        m_gameFolderNote->setAccessibleName(u"Game folder"_s);
        addPermanentWidget(m_gameFolderNote);
    }
    m_gameFolderNote->setVisible(bool(contents));
    if (!contents)
        return;
    // The label's sentence, longer than the bar, is a tooltip too.
    m_gameFolderNote->setToolTip(contents->summary());
    if (!contents->gameFolder) {
        m_gameFolderNote->setText(u"%1: not a game folder"_s.arg(contents->folderNames()));
        PageKit::setHint(m_gameFolderNote, contents->summary());
        return;
    }
    QStringList notes;
    for (const GameFolder::Note &note : contents->notes) {
        const QString file = contents->modFolder.isEmpty() ? note.file : QDir(note.folder).dirName() + u'/' + note.file;
        notes << u"%1 (%2)"_s.arg(QDir::toNativeSeparators(file), describe(note.trouble));
    }
    m_gameFolderNote->setText(u"Game folder %1: %2"_s.arg(
        contents->folderNames(), contents->archivesUnread ? u"archives unread"_s : contents->mapsCountedBriefly()));
    // A hint, as every other in this window: in the status bar, never a pop-up.
    PageKit::setHint(m_gameFolderNote,
        notes.isEmpty() ? contents->summary() : u"What could not be read: "_s + notes.join(u"; "_s) + u'.');
    if (!notes.isEmpty())
        m_gameFolderNote->setToolTip(contents->summary() + u' ' + m_gameFolderNote->statusTip());
}
